// The lines that ardelctl's learn commands print about a learn: the learning report and the
// learning check.
#pragma once

#include <ostream>

#include "model/LearnCheck.h"

// frame: yes|no, cut: yes|no, checked: yes|no|skipped, and difference: when the check said no.
void PrintLearnReport(const LearnReport& report, const LearnCheck& check, std::ostream& out);
