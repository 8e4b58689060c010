#pragma once
// The scenario: a title and up to 50 steps, and its 2380-byte .so1 file.
#include <QString>

#include "core/scenario/SinarioRecord.h"

namespace mdlSinario {

QString TitleText(const SinarioData& d);              // the 30 characters, NULs dropped
void SetTitle(SinarioData& d, const QString& text);   // padded with spaces or cut to 30

// Writes the record; an existing longer file keeps its bytes after the record. The file is
// replaced whole or not at all; on failure *error (when given) says why, in words for the
// teacher.
bool WriteSinarioFile(const SinarioData& d, const QString& path, QString* error = nullptr);
// path with ".so1" appended when its file name has no extension ("授業1", "授業1.").
QString WithScenarioExtension(const QString& path);

bool ReadSinarioFile(SinarioData& d, const QString& path, QString* error = nullptr);

} // namespace mdlSinario
