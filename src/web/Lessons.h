#pragma once
// The sample lessons (lessons/*.so1), compiled in by the build, in name order.
#include <cstddef>

namespace webapi {

struct Lesson {
    const char* name; // the file's name without .so1
    const unsigned char* bytes;
    std::size_t size;
};

std::size_t LessonCount();
Lesson LessonAt(std::size_t index);

} // namespace webapi
