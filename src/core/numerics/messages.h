#pragma once
// Every message box of the program goes through this interface: the error box of the
// action runner, information boxes with OK, and Yes/No questions. The program shows
// Qt message boxes; tests use RecordingMessages, which records and answers from a script.
#include <deque>
#include <string>
#include <vector>

namespace lumerad {

class Messages {
public:
    virtual ~Messages() = default;
    virtual void error(const std::string& text) = 0;     // the application's error box
    virtual void info(const std::string& text) = 0;      // modal box with OK
    virtual bool question(const std::string& text) = 0;  // confirmation, true for Yes
};

class RecordingMessages : public Messages {
public:
    struct Entry {
        enum Kind { Error, Info, Question } kind;
        std::string text;
    };
    std::vector<Entry> log;
    std::deque<bool> answers;  // answers to questions, in order; No when empty

    void error(const std::string& text) override { log.push_back({Entry::Error, text}); }
    void info(const std::string& text) override { log.push_back({Entry::Info, text}); }
    bool question(const std::string& text) override {
        log.push_back({Entry::Question, text});
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> t;
        for (const auto& e : log) t.push_back(e.text);
        return t;
    }
    void clear() { log.clear(); }
};

}  // namespace lumerad
