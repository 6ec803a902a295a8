#include "core/word_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr qsizetype offsetLimit = qsizetype(std::numeric_limits<quint32>::max());

/// Grows buffer to hold at least needed bytes, doubling so that appends stay cheap: pages never
/// written cost nothing.
bool ensure(platform::MappedBuffer &buffer, std::size_t needed)
{
    if (needed <= buffer.capacity())
        return true;
    return buffer.resize(std::max(needed, buffer.capacity() * 2));
}

} // namespace

WordList::WordList(const WordList &other) : tag(other.tag)
{
    if (!m_chars.resize(std::size_t(other.m_size) * sizeof(char16_t))
        || !m_ends.resize(std::size_t(other.m_count) * sizeof(quint32)))
        throw std::bad_alloc();
    if (other.m_size > 0)
        std::memcpy(chars(), other.chars(), std::size_t(other.m_size) * sizeof(char16_t));
    if (other.m_count > 0)
        std::memcpy(ends(), other.ends(), std::size_t(other.m_count) * sizeof(quint32));
    m_size = other.m_size;
    m_count = other.m_count;
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
    m_size = 0;
    m_count = 0;
}

bool WordList::growFor(qsizetype characters)
{
    if (characters > s_unitLimit - m_size)
        return false;
    return ensure(m_chars, std::size_t(m_size + characters) * sizeof(char16_t))
        && ensure(m_ends, std::size_t(m_count + 1) * sizeof(quint32));
}

void WordList::append(QStringView text)
{
    if (!makeRoom(text.size()))
        throw std::bad_alloc();
    appendInRoom(text);
}

void WordList::shrinkToFit()
{
    // Shrinking never fails; a refusal would only keep the room.
    m_chars.resize(std::size_t(m_size) * sizeof(char16_t));
    m_ends.resize(std::size_t(m_count) * sizeof(quint32));
}

void WordList::setUnitLimit(qsizetype units)
{
    s_unitLimit = units > 0 && units < offsetLimit ? units : offsetLimit;
}

QStringView WordList::view(qsizetype i) const
{
    Q_ASSERT(i >= 0 && i < count());
    const qsizetype begin = i == 0 ? 0 : qsizetype(ends()[i - 1]);
    return QStringView(chars() + begin, qsizetype(ends()[i]) - begin);
}
