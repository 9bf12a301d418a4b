#include "encoder/Pdf417Encoder.h"

namespace barwright {

Pdf417Encoder::Pdf417Encoder() {
    // A new encoder already holds the symbol of its default data; its
    // status tells a caller whether that worked.
    (void)reencode();
}

template <typename T>
Status Pdf417Encoder::storeAndReencode(T& field, T value) {
    // An unchanged value does not re-encode, even when the stored status is
    // an error: nothing the codewords depend on has changed.
    if (field == value) {
        return status::kOk;
    }
    field = std::move(value);
    return reencode();
}

Status Pdf417Encoder::setData(std::string_view data) {
    if (data_ == data) {
        return status::kOk;
    }
    data_.assign(data.data(), data.size());
    return reencode();
}

Status Pdf417Encoder::setCompactionMode(std::int32_t mode) {
    return storeAndReencode(compactionMode_, mode);
}

Status Pdf417Encoder::setErrorCorrectionLevel(std::int32_t level) {
    return storeAndReencode(errorCorrectionLevel_, level);
}

Status Pdf417Encoder::setColumns(std::int32_t columns) {
    return storeAndReencode(requestedColumns_, columns);
}

Status Pdf417Encoder::setRows(std::int32_t rows) {
    return storeAndReencode(requestedRows_, rows);
}

Status Pdf417Encoder::setMacro(const MacroSettings& macro) {
    return storeAndReencode(macro_, macro);
}

Status Pdf417Encoder::setCompact(bool compact) {
    if (compact_ == compact) {
        return status::kOk;
    }
    compact_ = compact;
    // Compact and full forms of the same codewords differ only in the right
    // row indicator, so the matrix is rebuilt from the stored stream without
    // re-encoding, even while deferred. Only a symbol that was actually
    // made has a stream to rebuild from.
    if (encodeStatus_ != status::kOk) {
        return status::kOk;
    }
    if (!matrix_.build(columns_, rows_, compact_,
                       static_cast<std::uint8_t>(usedErrorCorrectionLevel_), codewords_)) {
        return status::kFail;
    }
    return status::kOk;
}

Status Pdf417Encoder::setOrientation(std::int32_t degrees) {
    orientation_ = degrees;
    return status::kOk;
}

Status Pdf417Encoder::setBackgroundColor(std::uint32_t color) {
    backgroundColor_ = color;
    return status::kOk;
}

Status Pdf417Encoder::setForegroundColor(std::uint32_t color) {
    foregroundColor_ = color;
    return status::kOk;
}

Status Pdf417Encoder::setQuietZone(bool quietZone) {
    quietZone_ = quietZone;
    return status::kOk;
}

Status Pdf417Encoder::setHorizontalAlignment(std::int32_t align) {
    alignH_ = align;
    return status::kOk;
}

Status Pdf417Encoder::setVerticalAlignment(std::int32_t align) {
    alignV_ = align;
    return status::kOk;
}

Status Pdf417Encoder::setYToXRatio(double ratio) {
    yToXRatio_ = ratio;
    return status::kOk;
}

Status Pdf417Encoder::setDeferred(bool deferred) {
    deferred_ = deferred;
    if (deferred_) {
        return status::kOk;
    }
    return reencode();
}

Status Pdf417Encoder::reencode() {
    if (deferred_) {
        return status::kOk;
    }
    encodeStatus_ = encode();
    return encodeStatus_;
}

}  // namespace barwright
