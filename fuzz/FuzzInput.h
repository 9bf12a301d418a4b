#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace barwright::fuzz {

// An argument vector built from fuzz input: the bytes are split at every NUL
// into words, so the fuzzer can grow and cut whole arguments. argv[0] is the
// program's name and the vector ends with a null pointer, as exec gives it.
class ArgumentVector {
public:
    // More words than this add nothing the parser has not seen already and
    // only slow each run down.
    static constexpr std::size_t kMaxWords = 64;

    ArgumentVector(const std::uint8_t* data, std::size_t size) {
        words_.emplace_back("barwright");
        std::string word;
        for (std::size_t i = 0; i < size && words_.size() < kMaxWords; ++i) {
            if (data[i] == 0) {
                words_.push_back(word);
                word.clear();
            } else {
                word.push_back(static_cast<char>(data[i]));
            }
        }
        if (!word.empty() && words_.size() < kMaxWords) {
            words_.push_back(word);
        }
        for (std::string& w : words_) {
            pointers_.push_back(w.data());
        }
        pointers_.push_back(nullptr);
    }

    int argc() const { return static_cast<int>(words_.size()); }
    char** argv() { return pointers_.data(); }
    // Points argument `index` at text that outlives this vector.
    void replace(int index, char* text) { pointers_[static_cast<std::size_t>(index)] = text; }
    // The words themselves, so a target can check that the parser's
    // pointers stay inside them.
    const std::vector<std::string>& words() const { return words_; }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// Reads settings one byte at a time from the front of the input; once the
// input is used up every read gives 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
    std::uint32_t word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value = (value << 8) | byte();
        }
        return value;
    }
    // Whatever is left.
    std::string rest() {
        const std::size_t start = position_ < size_ ? position_ : size_;
        position_ = size_;
        return std::string(reinterpret_cast<const char*>(data_) + start, size_ - start);
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

}  // namespace barwright::fuzz
