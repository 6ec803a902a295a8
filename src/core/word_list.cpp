#include "core/word_list.h"

#include <algorithm>
#include <cstring>

WordList::WordList(const WordList &other) : tag(other.tag), m_ends(other.m_ends)
{
    grow(other.m_size);
    std::copy_n(other.m_chars.get(), other.m_size, m_chars.get());
    m_size = other.m_size;
}

WordList &WordList::operator=(const WordList &other)
{
    if (this != &other) {
        WordList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

void WordList::clear()
{
    // Keeps both buffers' capacity: a rebuild refills the list.
    m_size = 0;
    m_ends.clear();
}

void WordList::append(QStringView text)
{
    // An empty text may have no storage at all: nothing to copy.
    const qsizetype length = text.size();
    if (length > 0) {
        if (m_size + length > m_capacity)
            grow(m_size + length);
        std::memcpy(m_chars.get() + m_size, text.utf16(), std::size_t(length) * sizeof(char16_t));
        m_size += length;
    }
    m_ends.push_back(m_size);
}

void WordList::reserve(qsizetype entries, qsizetype characters)
{
    m_ends.reserve(std::size_t(entries));
    if (characters > m_capacity)
        grow(characters);
}

void WordList::grow(qsizetype needed)
{
    const qsizetype capacity = std::max({needed, m_capacity * 2, qsizetype(256)});
    auto chars = std::make_unique_for_overwrite<char16_t[]>(std::size_t(capacity));
    if (m_size > 0)
        std::memcpy(chars.get(), m_chars.get(), std::size_t(m_size) * sizeof(char16_t));
    m_chars = std::move(chars);
    m_capacity = capacity;
}

QStringView WordList::view(qsizetype i) const
{
    Q_ASSERT(i >= 0 && i < count());
    const qsizetype begin = i == 0 ? 0 : m_ends[std::size_t(i - 1)];
    return QStringView(m_chars.get() + begin, m_ends[std::size_t(i)] - begin);
}
