#pragma once
// The feature-control values that tests make programs write, removed again afterwards.
// Tests that write or check them under the test program's own names take turns.
#include "framework/Win.h"
#include "qvedge/app/FeatureControl.h"

#include <optional>
#include <string>

extern const char* const FEATURE_CONTROL_KEYS[3];  // document mode, GPU rendering, aligned timers

// The long and short file name of a program file, as the program itself computes them.
FeatureControlNames featureNamesOf(const std::string& programPath);
FeatureControlNames testProgramFeatureNames();

// The user's value of the name under the key; none when it is absent or no number.
std::optional<DWORD> userFeatureValue(const char* key, const CString& name);

// Removes the names' values from the user's three keys and the machine's first key.
void removeFeatureValues(const FeatureControlNames& names);

// Holds the turn for the life of the test and removes the names' values at its end.
class FeatureValuesTurn {
public:
    explicit FeatureValuesTurn(const FeatureControlNames& names = testProgramFeatureNames());
    ~FeatureValuesTurn();
    FeatureValuesTurn(const FeatureValuesTurn&) = delete;
    FeatureValuesTurn& operator=(const FeatureValuesTurn&) = delete;

    bool held() const { return turn != nullptr; }

private:
    FeatureControlNames names;
    HANDLE turn = nullptr;
};
