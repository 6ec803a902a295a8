#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace program {

/// The program run apart from the learner's files while this lives: a temporary working directory
/// made current, the settings file looked for beside an executable in another temporary directory
/// (the configuration directory inside it too), and every message collected instead of shown.
/// For the tests, the benchmarks and the screenshot tool.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;

    /// Whether both directories were made and the working one made current.
    bool isValid() const { return m_valid; }
    /// Every message, error reports first.
    QStringList reports() const { return errors + plainMessages; }

    QTemporaryDir work;
    QTemporaryDir exeDir;
    QStringList errors; ///< error reports, as shown (with their full stop)
    QStringList plainMessages; ///< plain message boxes

private:
    QString m_previousDir;
    QByteArray m_previousConfigHome;
    bool m_valid = false;
};

} // namespace program
