#pragma once

#include <QByteArray>
#include <QByteArrayView>

/// The one handle on the settings file: integers read and written one key per call, nothing cached.
class Settings
{
public:
    /// Binds to path; touches nothing on disk.
    explicit Settings(QByteArray path) : m_path(std::move(path)) { }

    /// The settings file's name.
    static QByteArray fileName() { return QByteArrayLiteral("dadorir_iruze.ini"); }

    /// "$XDG_CONFIG_HOME/hanlexo-vocab/" (default "~/.config/hanlexo-vocab/") and the file name
    /// for an installed program (run from the bin directory it was installed to) and for a copy
    /// whose directory has no such file and is not writable; otherwise beside the executable (its
    /// directory up to and including its last separator, then "/" and the file name).
    static QByteArray builtPath();

    const QByteArray &path() const { return m_path; }

    /// The key's value converted to an integer, or fallback when missing or not convertible.
    int readInteger(QByteArrayView section, QByteArrayView key, int fallback) const;

    /// Writes value as decimal text, first making the missing per-user directory (mode 0700);
    /// throws AppError "Impossible d'écrire dans <path>" when refused.
    void writeInteger(QByteArrayView section, QByteArrayView key, int value) const;

private:
    QByteArray m_path;
};

/// Section and key names as the file stores them: 8-bit, with "ç" as the single byte 0xE7.
namespace settings_keys {
inline constexpr const char *vitesse = "Vitesse";
inline constexpr const char *affichage = "Affichage";
inline constexpr const char *chinois = "chinois";
inline constexpr const char *pinyin = "pinyin";
inline constexpr const char *francais = "fran\xe7"
                                        "ais";
inline constexpr const char *champsChinois = "champs_chinois";
inline constexpr const char *champsPinyin = "champs_pinyin";
inline constexpr const char *champsFrancais = "champs_fran\xe7"
                                              "ais";
} // namespace settings_keys
