#include "web/Lessons.h"

#include "web_lessons.inc" // kLessons, written by the build from lessons/*.so1

namespace webapi {

std::size_t LessonCount() { return sizeof kLessons / sizeof kLessons[0]; }
Lesson LessonAt(std::size_t index) { return kLessons[index]; }

} // namespace webapi
