#pragma once
// TCompactText: a text value in 16 bytes, for records a program holds by the ten thousand (the
// orders of a search), where std::string's 32 bytes per text would make each record over half as
// large again: more memory to fill when a search is bound, and to walk when it is freed.
//
// Texts of up to 15 bytes live inside the object; longer ones in one heap block of their exact
// size. The bytes are kept as given (no terminator is promised). It reads as a std::string_view,
// compares with any text and copies its bytes on copy, like std::string. Thread safety: as
// std::string (one writer, or readers only).

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kav {

class TCompactText {
public:
    TCompactText() noexcept { SetInline(0); }
    TCompactText(std::string_view text) { Init(text); } // NOLINT: a text is a text
    TCompactText(const char* text) : TCompactText(std::string_view(text)) {}
    TCompactText(const std::string& text) : TCompactText(std::string_view(text)) {}
    TCompactText(const TCompactText& other) { Init(other.view()); }
    TCompactText(TCompactText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.SetInline(0);
    }
    TCompactText& operator=(const TCompactText& other) {
        if (this != &other) assign(other.view());
        return *this;
    }
    TCompactText& operator=(TCompactText&& other) noexcept {
        if (this != &other) {
            Free();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.SetInline(0);
        }
        return *this;
    }
    TCompactText& operator=(std::string_view text) { return assign(text); }
    TCompactText& operator=(const char* text) { return assign(text); }
    TCompactText& operator=(const std::string& text) { return assign(text); }
    ~TCompactText() { Free(); }

    std::size_t size() const noexcept { return OnHeap() ? HeapSize() : Tag(); }
    bool empty() const noexcept { return size() == 0; }
    const char* data() const noexcept { return OnHeap() ? HeapData() : bytes_; }
    std::string_view view() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return view(); } // NOLINT: reads as a view
    std::string str() const { return std::string(view()); }

    // Reuses the heap block when the new text has the same length.
    TCompactText& assign(std::string_view text) {
        if (OnHeap() || text.size() > kInline) return AssignElsewhere(text);
        CopyShort(text.data(), text.size());
        SetInline(text.size());
        return *this;
    }
    void clear() noexcept {
        Free();
        SetInline(0);
    }

    friend bool operator==(const TCompactText& a, const TCompactText& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const TCompactText& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const TCompactText& a, const char* b) noexcept { return a.view() == b; }
    friend bool operator==(const TCompactText& a, const std::string& b) noexcept { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const TCompactText& text);

private:
    static constexpr std::size_t kInline = 15;
    static constexpr unsigned char kHeapTag = 0xFF;

    // bytes_[15] is the tag: the length of an inline text, or kHeapTag. A heap text keeps its
    // block's address in bytes 0-7 and its length in bytes 8-11.
    unsigned char Tag() const noexcept { return static_cast<unsigned char>(bytes_[kInline]); }
    bool OnHeap() const noexcept { return Tag() == kHeapTag; }
    char* HeapData() const noexcept {
        char* data;
        std::memcpy(&data, bytes_, sizeof data);
        return data;
    }
    std::uint32_t HeapSize() const noexcept {
        std::uint32_t size;
        std::memcpy(&size, bytes_ + sizeof(char*), sizeof size);
        return size;
    }
    void SetInline(std::size_t size) noexcept { bytes_[kInline] = static_cast<char>(size); }
    // Copies up to 15 bytes to the start of the object with fixed-size moves: most texts of a
    // row are empty or a few bytes long, for which a library call costs more than the copy. All
    // bytes are read before any is written, as the source may be this object's own.
    void CopyShort(const char* from, std::size_t size) noexcept {
        if (size >= 8) {
            std::uint64_t head, tail;
            std::memcpy(&head, from, 8);
            std::memcpy(&tail, from + size - 8, 8);
            std::memcpy(bytes_, &head, 8);
            std::memcpy(bytes_ + size - 8, &tail, 8);
        } else if (size >= 4) {
            std::uint32_t head, tail;
            std::memcpy(&head, from, 4);
            std::memcpy(&tail, from + size - 4, 4);
            std::memcpy(bytes_, &head, 4);
            std::memcpy(bytes_ + size - 4, &tail, 4);
        } else if (size > 0) {
            const char first = from[0], middle = from[size / 2], last = from[size - 1];
            bytes_[0] = first;
            bytes_[size / 2] = middle;
            bytes_[size - 1] = last;
        }
    }
    void Init(std::string_view text);
    TCompactText& AssignElsewhere(std::string_view text);
    void Free() noexcept {
        if (OnHeap()) delete[] HeapData();
    }

    alignas(8) char bytes_[16];
};

static_assert(sizeof(TCompactText) == 16);

} // namespace kav
