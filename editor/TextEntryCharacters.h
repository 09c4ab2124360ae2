#pragma once
// The characters the editor's value prompts let through.

namespace sorel {

// Note names and whole numbers: digits, signs, '#' and the note letters.
bool IsNoteNameCharacter(unsigned char c);
// Numbers with a fraction: digits, signs and the decimal point.
bool IsDecimalCharacter(unsigned char c);

}  // namespace sorel
