#pragma once

#include "platform/mapped_buffer.h"

#include <QString>
#include <QStringView>

#include <cstring>
#include <limits>

/// An ordered list of UTF-16 strings with an integer tag. The texts share one buffer, and each
/// text's end is a 32-bit offset into it: about two bytes a character and four an entry. Both
/// buffers grow by remapping their pages, so a rebuild of millions of entries never holds two
/// copies of a list.
class WordList
{
public:
    WordList() = default;
    WordList(const WordList &other);
    WordList &operator=(const WordList &other);
    WordList(WordList &&) noexcept = default;
    WordList &operator=(WordList &&) noexcept = default;

    /// Empties the list and keeps its room, which a rebuild fills again.
    void clear();
    /// Makes room for one more text of characters units; false when it would not fit (more than
    /// 2^32 - 1 units in all, or memory refused), the list unchanged.
    bool makeRoom(qsizetype characters)
    {
        // Most appends fit in the room the last growth made: checked here, grown out of line.
        if (characters <= s_unitLimit - m_size
            && std::size_t(m_size + characters) * sizeof(char16_t) <= m_chars.capacity()
            && std::size_t(m_count + 1) * sizeof(quint32) <= m_ends.capacity())
            return true;
        return growFor(characters);
    }
    /// Appends text; throws std::bad_alloc, the list unchanged, when makeRoom() fails.
    void append(QStringView text);
    /// Appends text into the room a successful makeRoom(text.size()) made, with no second check:
    /// the reader's path, which makes room for all three lists before it appends to any.
    void appendInRoom(QStringView text)
    {
        const qsizetype length = text.size();
        // An empty text may have no storage at all: nothing to copy.
        if (length > 0)
            std::memcpy(chars() + m_size, text.utf16(), std::size_t(length) * sizeof(char16_t));
        m_size += length;
        ends()[m_count++] = quint32(m_size);
    }
    /// Gives back the room beyond what the list holds.
    void shrinkToFit();

    /// The most units a list holds (2^32 - 1, what its offsets can reach); tests set a few to meet
    /// a full list, 0 restores it.
    static void setUnitLimit(qsizetype units);

    qsizetype count() const { return m_count; }
    /// The bytes the list has taken from the kernel, whether its texts fill them or not.
    std::size_t roomBytes() const { return m_chars.capacity() + m_ends.capacity(); }
    bool isEmpty() const { return m_count == 0; }

    /// The i-th text; valid until the list changes.
    QStringView view(qsizetype i) const;
    QString item(qsizetype i) const { return view(i).toString(); }

    /// General-purpose integer, free for the program (the current card for the Chinese list).
    int tag = 0;

private:
    bool growFor(qsizetype characters);

    static inline qsizetype s_unitLimit = qsizetype(std::numeric_limits<quint32>::max());

    char16_t *chars() const { return static_cast<char16_t *>(m_chars.data()); }
    quint32 *ends() const { return static_cast<quint32 *>(m_ends.data()); }

    platform::MappedBuffer m_chars;
    platform::MappedBuffer m_ends;
    qsizetype m_size = 0; ///< units in use
    qsizetype m_count = 0;
};
