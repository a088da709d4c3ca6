#pragma once

#include "support/scripted_dialogs.h"

// Scripted answers that also record what each input box asked.
namespace gctest {

class RecordingDialogs : public ScriptedDialogs {
  public:
    struct Asked {
        QString caption, prompt, initial;
    };
    std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                     const QString& initial, bool secret) override {
        asked.push_back({caption, prompt, initial});
        return ScriptedDialogs::inputText(caption, prompt, initial, secret);
    }
    QList<Asked> asked;
};

} // namespace gctest
