#include "configtext/TextProblems.hpp"

#include <algorithm>

namespace quillon::configtext {

std::string ProblemLine(const TextProblem& problem) {
    std::string line = problem.error ? "" : "warning: ";
    line += problem.path.empty() ? std::string("(document)") : problem.path;
    return line + ": " + problem.message;
}

void TextProblems::Error(std::string path, std::string message) {
    problems_.push_back({true, std::move(path), std::move(message)});
}

void TextProblems::Warning(std::string path, std::string message) {
    problems_.push_back({false, std::move(path), std::move(message)});
}

bool TextProblems::HasErrors() const {
    return std::any_of(problems_.begin(), problems_.end(),
                       [](const TextProblem& problem) { return problem.error; });
}

}  // namespace quillon::configtext
