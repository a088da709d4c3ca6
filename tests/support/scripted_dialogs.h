#pragma once

#include "platform/ui/dialogs.h"

#include <QList>
#include <QStringList>
#include <deque>

namespace gctest {

// Answers the program's questions from a script and records what was asked.
class ScriptedDialogs : public gc::ui::Dialogs {
  public:
    struct Shown {
        gc::ui::MsgIcon icon;
        QString text;
        int buttons;
    };

    ScriptedDialogs() : scope_(*this) {}

    QList<Shown> messages;
    std::deque<int> answers;    // message answers; otherwise Yes, else Ok
    std::deque<QString> files;  // file dialog answers; otherwise cancelled
    std::deque<QString> inputs; // input box answers, a null text for Cancel; otherwise cancelled
    QStringList fileRequests;

    int message(gc::ui::MsgIcon icon, const QString& text, int buttons) override {
        messages.push_back({icon, text, buttons});
        if (!answers.empty()) {
            const int a = answers.front();
            answers.pop_front();
            return a;
        }
        return (buttons & gc::ui::Yes) ? gc::ui::Yes : gc::ui::Ok;
    }
    QString openFileName(const QString& title, const QString& filter) override {
        fileRequests << filter;
        return next(files, title);
    }
    QString saveFileName(const QString& title, const QString& filter) override {
        fileRequests << filter;
        return next(files, title);
    }
    std::optional<QString> inputText(const QString&, const QString&, const QString&,
                                     bool) override {
        const QString a = next(inputs, {});
        if (a.isNull())
            return std::nullopt;
        return a;
    }
    QStringList texts() const {
        QStringList out;
        for (const Shown& s : messages)
            out << s.text;
        return out;
    }

  private:
    static QString next(std::deque<QString>& q, const QString&) {
        if (q.empty())
            return {};
        QString a = q.front();
        q.pop_front();
        return a;
    }
    gc::ui::ScopedDialogs scope_;
};

} // namespace gctest
