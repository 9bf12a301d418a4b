#pragma once

#include <type_traits>
#include <utility>

#include "encoder/Status.h"

namespace barwright {

namespace detail {
template <typename Settings, typename = void>
struct HasMacroSettings : std::false_type {};
template <typename Settings>
struct HasMacroSettings<Settings, std::void_t<decltype(std::declval<Settings&>().macro)>>
    : std::true_type {};
}  // namespace detail

// Hands every setting to the encoder, user-given or not, inside one deferred
// bracket so that the data is encoded exactly once, at the end. The first
// non-zero status stops the sequence and is returned. Settings that carry a
// Macro PDF417 block (library callers) hand it over too; the command line's
// have none, so its sequence holds no such call. A template so that the
// order can be checked against a recording encoder.
template <typename Encoder, typename Settings>
[[nodiscard]] Status configureEncoder(Encoder& encoder, const Settings& settings) {
    Status result = encoder.setDeferred(true);
    if (result == status::kOk) result = encoder.setData(settings.data);
    if (result == status::kOk) result = encoder.setCompactionMode(settings.compactionMode);
    if (result == status::kOk)
        result = encoder.setErrorCorrectionLevel(settings.errorCorrectionLevel);
    if (result == status::kOk) result = encoder.setColumns(settings.columns);
    if (result == status::kOk) result = encoder.setRows(settings.rows);
    if (result == status::kOk) result = encoder.setCompact(settings.compact);
    if constexpr (detail::HasMacroSettings<Settings>::value) {
        if (result == status::kOk) result = encoder.setMacro(settings.macro);
    }
    if (result == status::kOk) result = encoder.setOrientation(settings.orientation);
    if (result == status::kOk) result = encoder.setQuietZone(settings.quietZone);
    if (result == status::kOk) result = encoder.setHorizontalAlignment(settings.alignH);
    if (result == status::kOk) result = encoder.setVerticalAlignment(settings.alignV);
    if (result == status::kOk) result = encoder.setBackgroundColor(settings.backgroundColor);
    if (result == status::kOk) result = encoder.setForegroundColor(settings.foregroundColor);
    if (result == status::kOk) result = encoder.setYToXRatio(settings.yToXRatio);
    if (result == status::kOk) result = encoder.setDeferred(false);
    return result;
}

}  // namespace barwright
