#pragma once

#include <QString>
#include <QStringView>

#include <vector>

/// An ordered list of UTF-16 strings with an integer tag. The texts share one buffer so that a
/// rebuild with many entries allocates a few times, not once per field.
class WordList
{
public:
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
    QString m_chars;
    std::vector<qsizetype> m_ends;
};
