#pragma once
// The sample lessons that come with the program, written as a teacher would compose them in
// the scenario editor: each step is what one "追加" button records.
#include <QString>
#include <vector>

#include "desktop/scenario/mdlSinario.h"

namespace lessonbook {

struct Lesson {
    QString fileName; // in the lessons folder; the menu lists the files in name order
    QString title;
    std::vector<mdlSinario::SinarioStep> steps;
};

// The four lessons, in the order the menu shows them.
std::vector<Lesson> Lessons();

// The scenario the editor holds after the title is typed and the steps added, from an
// empty scenario: what its 保存 writes.
mdlSinario::SinarioData Compose(const Lesson& lesson);

// Writes every lesson into folder, replacing files of the same name. False, with the reason
// in *error, at the first file that cannot be written.
bool WriteLessons(const QString& folder, QString* error);

} // namespace lessonbook
