#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <csignal>
#include <grp.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

ScopedWorkDir::ScopedWorkDir() : m_previous(QDir::currentPath())
{
    if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path()))
        qFatal("cannot make a temporary working directory");
}

ScopedWorkDir::~ScopedWorkDir()
{
    QDir::setCurrent(m_previous);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray bom()
{
    return QByteArray("\xFF\xFE", 2);
}

QByteArray utf16le(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray lessonBytes(const QStringList &lines)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (const QString &line : lines)
        bytes += utf16le(line + QStringLiteral("\r\n"));
    return bytes;
}

ReferenceLesson referenceRead(const QByteArray &bytes)
{
    ReferenceLesson out;
    out.even = bytes.size() % 2 == 0;
    QList<char16_t> units;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        units.append(char16_t(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8)));

    QString partial;
    QStringList fields;
    auto store = [&] {
        fields.append(partial);
        partial.clear();
    };
    auto endLine = [&] {
        store();
        fields = fields.mid(0, 3);
        while (fields.size() < 3)
            fields.append(QString());
        if (!fields.join(QString()).isEmpty()) {
            for (QString &field : fields)
                if (field.isEmpty())
                    field = QStringLiteral(" ");
            out.entries.append(fields);
        }
        fields.clear();
    };
    for (qsizetype i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (i == 0 && u == 0xFEFF)
            continue;
        if (u == u'\t') {
            store();
        } else if (u == u'\n' || u == u'\r') {
            endLine();
            if (u == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n')
                ++i;
        } else {
            partial.append(QChar(u));
        }
    }
    // A last line without its end counts, unless a stray byte cut it.
    if (out.even)
        endLine();
    return out;
}

bool permissionsEnforced()
{
    QTemporaryDir dir;
    chmod(QFile::encodeName(dir.path()).constData(), 0555);
    QFile probe(dir.filePath(QStringLiteral("probe")));
    const bool refused = !probe.open(QIODevice::WriteOnly);
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    return refused;
}

namespace {

/// The calling thread's capability sets, or false when they cannot be read.
bool threadCapabilities(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capget, &header, data) == 0;
}

bool setThreadCapabilities(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header {_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(SYS_capset, &header, data) == 0;
}

constexpr quint32 permissionOverrides = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH);

} // namespace

PermissionBitsBind::PermissionBitsBind()
{
    __user_cap_data_struct data[2] {};
    if (!threadCapabilities(data) || (data[0].effective & permissionOverrides) == 0)
        return;
    data[0].effective &= ~permissionOverrides;
    m_lowered = setThreadCapabilities(data);
}

PermissionBitsBind::~PermissionBitsBind()
{
    __user_cap_data_struct data[2] {};
    if (!m_lowered || !threadCapabilities(data))
        return;
    data[0].effective |= data[0].permitted & permissionOverrides;
    setThreadCapabilities(data);
}

bool inCi()
{
    return qEnvironmentVariable("CI") == QLatin1String("true");
}

FileSizeLimit::FileSizeLimit(rlim_t limit)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = m_saved;
    small.rlim_cur = limit;
    if (setrlimit(RLIMIT_FSIZE, &small) != 0)
        qFatal("cannot limit the file size");
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_previousHandler);
}

int runAsNobody(const std::function<int()> &step)
{
    if (geteuid() != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(nobodyId) != 0 || setuid(nobodyId) != 0)
            _exit(255);
        _exit(step() & 0xFF);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)
        || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}
