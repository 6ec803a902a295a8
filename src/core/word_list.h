#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

/// An ordered list of UTF-16 strings with an integer tag. The texts share one buffer so that a
/// rebuild with many entries allocates a few times, not once per field.
class WordList
{
public:
    WordList() = default;
    WordList(const WordList &other);
    WordList &operator=(const WordList &other);
    WordList(WordList &&) noexcept = default;
    WordList &operator=(WordList &&) noexcept = default;

    void clear();
    void append(QStringView text);
    void reserve(qsizetype entries, qsizetype characters);

    qsizetype count() const { return qsizetype(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }

    /// The i-th text; valid until the list changes.
    QStringView view(qsizetype i) const;
    QString item(qsizetype i) const { return view(i).toString(); }

    /// General-purpose integer, free for the program (the current card for the Chinese list).
    int tag = 0;

private:
    void grow(qsizetype needed);

    // A plain growable buffer: appending a field is a capacity check and a memcpy.
    std::unique_ptr<char16_t[]> m_chars;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
    std::vector<qsizetype> m_ends;
};
