#include "base/NumberText.h"

#include <cstddef>
#include <cstdio>

String withNumbers(const char* format, const std::int32_t* numbers, int count) {
    char text[1024];
    std::size_t length = 0;
    int used = 0;
    const char* in = format ? format : "";
    while (*in && length < sizeof text - 1) {
        if (in[0] == '%' && in[1] == '%') {
            text[length++] = '%';
            in += 2;
        } else if (in[0] == '%' && in[1] == 'd' && used < count) {
            char number[12];
            std::snprintf(number, sizeof number, "%d", static_cast<int>(numbers[used++]));
            for (const char* digit = number; *digit && length < sizeof text - 1; ++digit)
                text[length++] = *digit;
            in += 2;
        } else {
            text[length++] = *in++;
        }
    }
    text[length] = '\0';
    return String(text);
}
