#include "vocabulary/word_list.h"

void WordList::clear()
{
    // Keeps both buffers' capacity: QString::clear() would free it, and a rebuild refills the list.
    m_chars.truncate(0);
    m_ends.clear();
}

void WordList::append(QStringView text)
{
    m_chars.append(text.data(), text.size());
    m_ends.push_back(m_chars.size());
}

void WordList::reserve(qsizetype entries, qsizetype characters)
{
    m_ends.reserve(std::size_t(entries));
    m_chars.reserve(characters);
}

QStringView WordList::view(qsizetype i) const
{
    Q_ASSERT(i >= 0 && i < count());
    const qsizetype begin = i == 0 ? 0 : m_ends[std::size_t(i - 1)];
    return QStringView(m_chars).sliced(begin, m_ends[std::size_t(i)] - begin);
}
