#include "editor/TextEntryCharacters.h"

namespace sorel {
namespace {

bool IsDigitOrSign(unsigned char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+'; }

}  // namespace

bool IsNoteNameCharacter(unsigned char c) {
    return IsDigitOrSign(c) || c == '#' || (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

bool IsDecimalCharacter(unsigned char c) { return IsDigitOrSign(c) || c == '.'; }

}  // namespace sorel
