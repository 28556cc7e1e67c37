#pragma once
// The last signing settings, kept in the settings store from one run of the
// program to the next: forty named values under the application's name,
// then one per option added since, always read and written in the same order.

#include "ModeleSignature.h"

class ReglagesRegistre {
public:
    static constexpr const char* kApplication = "Tamparo2";

    // Values missing from the store leave their settings as they are.
    // 0 when the store cannot be opened: then nothing is read.
    static int Lecture(ModeleSignature& reglages);
    // 0 when the store cannot be opened or written.
    static int Ecriture(const ModeleSignature& reglages);
};
