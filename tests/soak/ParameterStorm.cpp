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

}  // namespace

ParameterStorm::ParameterStorm(uint64_t seed) : rng_(seed) {}

int ParameterStorm::Index(Injected& injected) {
    if (Chance(0.9)) return Uniform(0, param::kCount - 1);
    ++injected[Injected::kBadParameters];
    return kOutsideIndices[Uniform(0, std::size(kOutsideIndices) - 1)];
}

float ParameterStorm::Value(Injected& injected) {
    if (Chance(0.8)) return std::uniform_real_distribution<float>(0.0f, 1.0f)(rng_);
    ++injected[Injected::kBadParameters];
    return kOddValues[Uniform(0, std::size(kOddValues) - 1)];
}

std::string ParameterStorm::JunkText() {
    if (Chance(0.6)) return kJunkTexts[Uniform(0, std::size(kJunkTexts) - 1)];
    std::string text(Uniform(1, 300), ' ');
    for (char& c : text) c = static_cast<char>(Uniform(1, 255));
    return text;
}

void ParameterStorm::Step(test::TestHost& plugin, Injected& injected) {
    ++injected[Injected::kParameterCalls];
    switch (Uniform(0, 9)) {
        case 0:
        case 1:
        case 2:
        case 3: {
            const int index = Index(injected);
            plugin.SetParameter(index, Value(injected));
            break;
        }
        case 4: plugin.GetParameter(Index(injected)); break;
        case 5: {
            const int index = Index(injected);
            if (Chance(0.1)) {
                plugin.Dispatch(effString2Parameter, index, 0, nullptr);
                break;
            }
            const std::string text = JunkText();
            std::memcpy(buffer_, text.c_str(), text.size() + 1);
            ++injected[Injected::kBadParameters];
            plugin.Dispatch(effString2Parameter, index, 0, buffer_);
            break;
        }
        case 6: {
            static constexpr int kTextQueries[] = {effGetParamLabel, effGetParamDisplay, effGetParamName};
            plugin.Dispatch(kTextQueries[Uniform(0, 2)], Index(injected), 0, buffer_);
            break;
        }
        case 7: {
            const int index = Index(injected);
            plugin.Dispatch(effVendorSpecific, 7, index, buffer_, Value(injected));
            break;
        }
        case 8: {
            MidiKeyName key{};
            key.thisKeyNumber = Chance(0.8) ? Uniform(0, 127) : Uniform(INT_MIN, INT_MAX);
            key.thisProgramIndex = Uniform(-1, 1);
            plugin.Dispatch(effGetMidiKeyName, 0, 0, &key);
            break;
        }
        default: {
            const std::string question = Chance(0.5) ? kCanDoQuestions[Uniform(0, std::size(kCanDoQuestions) - 1)]
                                                     : JunkText();
            std::memcpy(buffer_, question.c_str(), question.size() + 1);
            plugin.Dispatch(effCanDo, 0, 0, buffer_);
            break;
        }
    }
}

}  // namespace sorel::soak
