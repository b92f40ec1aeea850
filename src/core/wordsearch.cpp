#include "wordsearch.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

namespace {

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Setting bit 0x20 maps an upper-case ASCII letter to its lower case and no
// other 16-bit unit onto a lower-case letter, so one OR and one compare match
// a letter in either case; other characters are compared exactly.
struct FoldedChar {
    char16_t mask;
    char16_t value;

    explicit FoldedChar(char16_t c)
        : mask(isAsciiLetter(c) ? 0x20 : 0),
          value(char16_t(c | mask))
    {
    }
    bool matches(char16_t c) const { return char16_t(c | mask) == value; }
};

bool sameIgnoringAsciiCase(const char16_t *text, const char16_t *word, qsizetype length)
{
    for (qsizetype i = 0; i < length; ++i) {
        if (!FoldedChar(word[i]).matches(text[i]))
            return false;
    }
    return true;
}

struct Search {
    const char16_t *text;
    qsizetype size;
    const char16_t *word;
    qsizetype length;
    FoldedChar first;
    FoldedChar last;

    // The whole word at a position where its first and last characters match.
    bool innerMatchesAt(qsizetype at) const
    {
        return sameIgnoringAsciiCase(text + at + 1, word + 1, length > 2 ? length - 2 : 0);
    }
    bool matchesAt(qsizetype at) const
    {
        return first.matches(text[at]) && last.matches(text[at + length - 1]) && innerMatchesAt(at);
    }
};

// Many positions at a time: only where the first and the last character both
// match is the whole word compared, and a page rarely has many of those. Each
// scan returns whether it found the word and leaves `at` where it stopped.
#if defined(__x86_64__) && defined(__GNUC__)
#define QUORVANE_SEARCH_AVX2 1
__attribute__((target("avx2"))) bool scanAvx2(const Search &s, qsizetype &at)
{
    constexpr qsizetype Lanes = 16;
    const __m256i firstMask = _mm256_set1_epi16(short(s.first.mask));
    const __m256i firstValue = _mm256_set1_epi16(short(s.first.value));
    const __m256i lastMask = _mm256_set1_epi16(short(s.last.mask));
    const __m256i lastValue = _mm256_set1_epi16(short(s.last.value));
    for (; at + s.length - 1 + Lanes <= s.size; at += Lanes) {
        const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s.text + at));
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(s.text + at + s.length - 1));
        const __m256i hits = _mm256_and_si256(_mm256_cmpeq_epi16(_mm256_or_si256(head, firstMask), firstValue),
                                              _mm256_cmpeq_epi16(_mm256_or_si256(tail, lastMask), lastValue));
        // Two mask bits per 16-bit lane.
        for (unsigned bits = unsigned(_mm256_movemask_epi8(hits)); bits != 0;) {
            const int lane = __builtin_ctz(bits) / 2;
            bits &= ~(3u << (2 * lane));
            if (s.innerMatchesAt(at + lane))
                return true;
        }
    }
    return false;
}
#endif

#if defined(__SSE2__)
bool scanSse2(const Search &s, qsizetype &at)
{
    constexpr qsizetype Lanes = 8;
    const __m128i firstMask = _mm_set1_epi16(short(s.first.mask));
    const __m128i firstValue = _mm_set1_epi16(short(s.first.value));
    const __m128i lastMask = _mm_set1_epi16(short(s.last.mask));
    const __m128i lastValue = _mm_set1_epi16(short(s.last.value));
    for (; at + s.length - 1 + Lanes <= s.size; at += Lanes) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.text + at));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.text + at + s.length - 1));
        const __m128i hits = _mm_and_si128(_mm_cmpeq_epi16(_mm_or_si128(head, firstMask), firstValue),
                                           _mm_cmpeq_epi16(_mm_or_si128(tail, lastMask), lastValue));
        for (unsigned bits = unsigned(_mm_movemask_epi8(hits)); bits != 0;) {
            const int lane = __builtin_ctz(bits) / 2;
            bits &= ~(3u << (2 * lane));
            if (s.innerMatchesAt(at + lane))
                return true;
        }
    }
    return false;
}
#endif

}  // namespace

bool containsIgnoringAsciiCase(QStringView text, QStringView word)
{
    if (word.isEmpty())
        return true;
    if (word.size() > text.size())
        return false;
    const Search s{text.utf16(), text.size(), word.utf16(), word.size(), FoldedChar(word.front().unicode()),
                   FoldedChar(word.back().unicode())};
    qsizetype at = 0;
#if defined(QUORVANE_SEARCH_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && scanAvx2(s, at))
        return true;
#endif
#if defined(__SSE2__)
    if (scanSse2(s, at))
        return true;
#endif
    for (; at + s.length <= s.size; ++at) {
        if (s.matchesAt(at))
            return true;
    }
    return false;
}

bool containsWord(QStringView text, QStringView word)
{
    const bool ascii = std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.unicode() < 128; });
    return ascii ? containsIgnoringAsciiCase(text, word) : text.contains(word, Qt::CaseInsensitive);
}

}  // namespace quorvane
