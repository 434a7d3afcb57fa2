// What ardelctl's learn commands print about a learn, and the request they make of the
// remote model: every learn command learns through the model and prints its outcome here.
#pragma once

#include <QString>
#include <ostream>
#include <string>

#include "app/ctl/Commands.h"
#include "model/Operations.h"

// The request for learning into `codebase` (the button of the file at handheld path `path`;
// nothing is stored when no codebase was given).
LearnRequest LearnRequestFor(const CodebaseTarget& codebase, const QString& path);

// Prints result, carrier_us (as the signal is stored and sent), frame_start, count and
// durations of the first learnt signal; then, when something was heard, frame: yes|no,
// cut: yes|no, checked: yes|no|skipped and difference: when the check said no; then
// stored: when the signal went into the codebase. A failure goes to `err` after
// "ardelctl COMMAND: ". Returns the exit status: 0 learnt, 1 not.
int PrintLearnOutcome(const std::string& command, const LearnOutcome& outcome,
                      const CodebaseTarget& codebase, std::ostream& out, std::ostream& err);
