#include "lessontool/commands.h"
#include "lessontool/file_names.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

int main(int argc, char *argv[])
{
    // The arguments as given, byte for byte: a file name need not be UTF-8.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << lessontool::file_names::fromArgument(argv[i]);
    try {
        QCoreApplication application(argc, argv);
        return lessontool::runLessonTool(arguments);
    } catch (const std::bad_alloc &) {
        // Written without allocating anything; every replacement was abandoned on the way out.
        std::fputs("hanlexo-lesson : mémoire insuffisante : commande arrêtée, aucun fichier "
                   "écrit\n",
                   stderr);
        return 2;
    }
}
