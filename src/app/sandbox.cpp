#include "app/sandbox.h"

#include "platform/module_path.h"
#include "toolkit/message_boxes.h"

#include <QDir>
#include <QFile>

namespace program {

Sandbox::Sandbox()
    : m_previousDir(QDir::currentPath()), m_previousConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    m_valid = work.isValid() && exeDir.isValid() && QDir::setCurrent(work.path());
    // Whatever happens, the learner's own configuration directory is never reached.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(exeDir.filePath(QStringLiteral("config"))));
    platform::setExecutablePathOverride(
        QFile::encodeName(exeDir.filePath(QStringLiteral("hanlexo-vocab"))));
    toolkit::setErrorSink([this](const QString &text) { errors.append(text); });
    toolkit::setPlainMessageSink([this](const QString &text) { plainMessages.append(text); });
}

Sandbox::~Sandbox()
{
    toolkit::setErrorSink({});
    toolkit::setPlainMessageSink({});
    platform::setExecutablePathOverride({});
    if (m_previousConfigHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfigHome);
    QDir::setCurrent(m_previousDir);
}

} // namespace program
