#include "settings/settings.h"

#include "platform/app_error.h"
#include "platform/ini_file.h"
#include "platform/int_conversion.h"
#include "platform/module_path.h"

QByteArray Settings::builtPath()
{
    const QByteArray executable = executablePath();
    return executable.left(executable.lastIndexOf('/') + 1) + '/' + fileName();
}

int Settings::readInteger(QByteArrayView section, QByteArrayView key, int fallback) const
{
    return strToIntDef(ini::readValue(m_path, section, key).value_or(QByteArray()), fallback);
}

void Settings::writeInteger(QByteArrayView section, QByteArrayView key, int value) const
{
    if (ini::writeValue(m_path, section, key, QByteArray::number(value)) != 0)
        throw AppError(
            QString::fromUtf8("Impossible d'écrire dans %1").arg(QString::fromLocal8Bit(m_path)));
}
