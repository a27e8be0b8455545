#include "data/MessageSink.h"

#include <cstdio>

namespace rm {

namespace {

// Used by command-line tools and before the user interface has installed its own sink.
class StderrSink final : public MessageSink {
public:
    int showMessage(const QString& text, int, int buttons, int, const QString& title) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return buttons == vbYesNo || buttons == vbYesNoCancel ? vbYes : vbOK;
    }
    void showStandardBox(const QString& text, const QString& title, int) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

StderrSink g_stderrSink;
MessageSink* g_sink = nullptr;

} // namespace

MessageSink& Messages() {
    return g_sink ? *g_sink : g_stderrSink;
}

void SetMessageSink(MessageSink* sink) {
    g_sink = sink;
}

int ShowMessage(const QString& text, int align, int buttons, int icon, const QString& title) {
    return Messages().showMessage(text, align, buttons, icon, title);
}

QString ErrorReportText(const QString& description) {
    return QStringLiteral("Rallymark encountered the following error:\n\n") + description;
}

void ShowErrorReport(const QString& description) {
    Messages().showStandardBox(ErrorReportText(description), kErrorReportTitle, vbCritical);
}

} // namespace rm
