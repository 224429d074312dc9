#include "support/CLocaleNumber.h"

#include <locale.h>
#include <stdlib.h>

namespace support {

double StrtodInCLocale(const char* text) {
    static const _locale_t locale = _create_locale(LC_ALL, "C");
    if (locale == nullptr) return 0.0;
    return _strtod_l(text, nullptr, locale);
}

}  // namespace support
