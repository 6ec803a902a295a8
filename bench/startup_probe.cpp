// Starts the program as its entry does and, once the main window is shown, prints the monotonic
// clock in nanoseconds and the resident memory in kB, then quits. bench_vocabulary spawns it.

#include "app/program.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <ctime>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    return program::run(argc, argv, [](TForm1 &) {
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("%lld %ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                    residentKilobytes());
        std::fflush(stdout);
        QApplication::quit();
    });
}
