// What an import found wrong with a configuration text: each problem with the
// path of its field ("bridge.rules[3].dstLength") and the rule it breaks.
#pragma once

#include <string>
#include <vector>

namespace quillon::configtext {

struct TextProblem {
    bool error = true;  ///< false: a warning, the value is still imported
    std::string path;
    std::string message;

    bool operator==(const TextProblem&) const = default;
};

/// "bridge.rules[3].dstLength: 12 is not a data length (0..8, or \"any\")", a
/// warning with "warning: " in front.
std::string ProblemLine(const TextProblem& problem);

class TextProblems {
  public:
    void Error(std::string path, std::string message);
    void Warning(std::string path, std::string message);

    bool HasErrors() const;
    const std::vector<TextProblem>& All() const { return problems_; }

  private:
    std::vector<TextProblem> problems_;
};

}  // namespace quillon::configtext
