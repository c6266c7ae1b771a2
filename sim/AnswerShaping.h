#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kronax::sim {

// The misbehaviours the simulator can be told to show, one command-line option each.
struct FaultOptions {
    bool silent = false;              // never answer
    std::vector<std::string> refused; // commands (line starts) answered "!SMNCK"
    std::vector<std::string> ignored; // commands (line starts) left without any answer
    bool crLf = false;                // end answers with CR LF
    int delayMs = 0;                  // wait before each answer
    int splitSize = 0;                // send answers in pieces of this many characters
    int splitPauseMs = 50;            // pause between two pieces
    bool late = false;                // answer only after the command's time-out has passed
    // commands (line starts) answered this many ms after they arrive, instead of at once
    std::vector<std::pair<std::string, int>> lateCommands;
    bool garbage = false; // answer with a garbage line instead
    bool pace = false;    // send each byte at the real 9600-baud rate
    // Commands (line starts) answered with fixed bytes instead of the board's own answer.
    std::vector<std::pair<std::string, std::string>> replies;
};

// Whether command is one the board is told to refuse; a refused command changes nothing.
bool IsRefused(const std::string& command, const FaultOptions& faults);

// What the tool allows for the answer to command (ms), measured from the end of its write.
int CommandTimeout(const std::string& command);

// How far beyond the command's time-out a late answer is sent (ms).
inline constexpr int LateMargin = 300;

// The garbage line sent instead of an answer.
inline constexpr const char* GarbageLine = "#~GARBAGE~%\r";

// One piece of an answer, sent after waiting pauseMs.
struct AnswerPiece {
    int pauseMs;
    std::string text;
};

// The pieces in which answer (the board's own, ending with CR) to command is sent under faults;
// none when the board stays silent or ignores the command.
std::vector<AnswerPiece> ShapeAnswer(const std::string& command, std::string answer,
                                     const FaultOptions& faults);

} // namespace kronax::sim
