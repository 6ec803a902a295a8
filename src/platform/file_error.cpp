#include "platform/file_error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace platform {

QString fileErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
        return QStringLiteral("Fichier introuvable");
    case EACCES:
    case EPERM:
    case EISDIR:
        return QStringLiteral("Accès au fichier refusé");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Trop de fichiers ouverts");
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Nom de fichier incorrect");
    default:
        return QStringLiteral("Erreur E/S %1").arg(errorNumber);
    }
}

void misusedResult(const char *what)
{
    std::fprintf(stderr, "hanlexo: internal error: %s was read\n", what);
    std::abort();
}

QString readPastEndText()
{
    return QStringLiteral("Lecture au-delà de la fin de fichier");
}

} // namespace platform
