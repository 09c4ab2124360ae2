#include "soak/ParameterStorm.h"

#include <climits>
#include <cstring>
#include <limits>

#include "engine/ParameterIndex.h"

namespace sorel::soak {
namespace {

constexpr int kOutsideIndices[] = {-1, param::kCount, param::kCount + 1, INT_MAX, INT_MIN, -100000, 1 << 20};
constexpr float kOddValues[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(), -1.0f, 2.0f, 1e30f, -0.0f,
                                std::numeric_limits<float>::denorm_min()};
constexpr const char* kJunkTexts[] = {"",     "abc",   "1e308", "-1e308", "nan", "inf", "-inf", "0x7f",
                                      "C#3",  "c#-9",  "G9",    "-",      "+",   "#",   "On",   "Off",
                                      "99999999999999999999999", "-0", "1/16", "1/256 dotted", "  7  ", "\xff\xfe"};
constexpr const char* kCanDoQuestions[] = {"receiveVstTimeInfo", "bypass", "", "sendVstMidiEvent",
                                           "hasCockosExtensions", "hasCockosViewAsConfig"};
constexpr int kTextQueries[] = {effGetParamLabel, effGetParamDisplay, effGetParamName};
constexpr int kLongestJunk = 300;

int Index(Dice& dice) { return static_cast<int>(dice.Chance(0.9) ? dice.Uniform(0, param::kCount - 1) : dice.Pick(kOutsideIndices)); }
float Value(Dice& dice) { return dice.Chance(0.8) ? static_cast<float>(dice.Real(0.0, 1.0)) : dice.Pick(kOddValues); }

}  // namespace

char* ParameterStorm::Text(bool question) {
    if (question || dice_.Chance(0.6)) {
        std::strcpy(buffer_, question ? dice_.Pick(kCanDoQuestions) : dice_.Pick(kJunkTexts));
    } else {
        const int length = static_cast<int>(dice_.Uniform(1, kLongestJunk));
        for (int i = 0; i < length; ++i) buffer_[i] = static_cast<char>(dice_.Uniform(1, 255));
        buffer_[length] = '\0';
    }
    return buffer_;
}

void ParameterStorm::Step(test::TestHost& plugin) {
    switch (dice_.Uniform(0, 9)) {
        case 0: case 1: case 2: case 3: {
            const int index = Index(dice_);
            lastCall_ = "setParameter", lastIndex_ = index;
            plugin.SetParameter(index, Value(dice_));
            break;
        }
        case 4: plugin.GetParameter(Index(dice_)); break;
        case 5: {
            const int index = Index(dice_);
            lastCall_ = "effString2Parameter", lastIndex_ = index;
            plugin.Dispatch(effString2Parameter, index, 0, dice_.Chance(0.1) ? nullptr : Text(false));
            break;
        }
        case 6: {
            const int query = dice_.Pick(kTextQueries);
            plugin.Dispatch(query, Index(dice_), 0, buffer_);
            break;
        }
        case 7: {
            const int index = Index(dice_);
            lastCall_ = "effVendorSpecific", lastIndex_ = index;
            plugin.Dispatch(effVendorSpecific, 7, index, buffer_, Value(dice_));
            break;
        }
        case 8: {
            MidiKeyName key{};
            key.thisKeyNumber = static_cast<VstInt32>(dice_.Chance(0.8) ? dice_.Uniform(0, 127) : dice_.Uniform(INT_MIN, INT_MAX));
            key.thisProgramIndex = static_cast<VstInt32>(dice_.Uniform(-1, 1));
            plugin.Dispatch(effGetMidiKeyName, 0, 0, &key);
            break;
        }
        default: plugin.Dispatch(effCanDo, 0, 0, Text(dice_.Chance(0.5))); break;
    }
}

std::string ParameterStorm::Last() const {
    return std::string(lastCall_.load()) + " " + std::to_string(lastIndex_.load());
}

}  // namespace sorel::soak
