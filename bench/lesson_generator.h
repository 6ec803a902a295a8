#pragma once

// Realistic lesson files for the benchmarks, from a fixed seed: 1 to 4 Han characters, pinyin with
// tone marks, French of 5 to 40 characters, and some entries repeated.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>

namespace bench {

class Generator
{
public:
    explicit Generator(std::uint32_t seed) : m_state(seed) { }

    std::uint32_t below(std::uint32_t n)
    {
        m_state = m_state * 1664525U + 1013904223U;
        return std::uint32_t((std::uint64_t(m_state) * n) >> 32);
    }

    QString line()
    {
        static const char16_t *const syllables[]
            = {u"mā",  u"má",   u"mǎ",  u"mà",    u"nǐ",  u"hǎo", u"xiè",   u"zài", u"jiàn", u"lǎo",
               u"shī", u"péng", u"yǒu", u"zhōng", u"guó", u"xué", u"shēng", u"lǜ",  u"nǚ",   u"ér"};
        QString text;
        const std::uint32_t characters = 1 + below(4);
        for (std::uint32_t i = 0; i < characters; ++i)
            text.append(QChar(char16_t(0x4E00 + below(0x51A5))));
        text.append(u'\t');
        for (std::uint32_t i = 0; i < characters; ++i) {
            if (i > 0)
                text.append(u' ');
            text.append(QStringView(syllables[below(std::size(syllables))]));
        }
        text.append(u'\t');
        static const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzéèàç '");
        const std::uint32_t french = 5 + below(36);
        for (std::uint32_t i = 0; i < french; ++i)
            text.append(letters.at(qsizetype(below(std::uint32_t(letters.size())))));
        return text;
    }

    /// A lesson of entries lines, UTF-16 LE with its mark, CR LF; about one line in twenty repeats
    /// an earlier one.
    QByteArray lesson(int entries)
    {
        QString text;
        QString previous = line();
        for (int i = 0; i < entries; ++i) {
            if (below(20) != 0)
                previous = line();
            text += previous;
            text += QStringLiteral("\r\n");
        }
        QByteArray bytes("\xFF\xFE", 2);
        bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        return bytes;
    }

private:
    std::uint32_t m_state;
};

/// Writes count lessons of entries lines each into dir as "lesson-NN.txt".
inline void writeLessons(const QString &dir, int count, int entries, std::uint32_t seed = 2026)
{
    Generator generator(seed);
    for (int i = 0; i < count; ++i) {
        QFile file(
            QDir(dir).filePath(QStringLiteral("lesson-%1.txt").arg(i, 2, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(generator.lesson(entries)) < 0)
            qFatal("cannot write a lesson into %s", qPrintable(dir));
    }
}

} // namespace bench
