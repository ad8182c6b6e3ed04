// Saves the two loop texts into one note, alternately, as fast as it can, through the same save
// the main controller uses, until it is killed. Prints a line after each save.

#include "SaveLoopTexts.h"
#include "browser/FileRepresentation.h"
#include "documents/NoteMetadata.h"
#include "documents/NoteSaving.h"
#include "platform/ManualDispatcher.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: note_save_loop <note>\n");
        return 2;
    }
    quillet::platform::ManualDispatcher dispatcher;
    const quillet::NoteMetadata metadata(dispatcher);
    const quillet::FileRep note = quillet::FileRepresentation::forPath(QString::fromLocal8Bit(argv[1]));
    const QString texts[] = {quillet::testing::saveLoopText(0), quillet::testing::saveLoopText(1)};
    for (unsigned long round = 0;; ++round) {
        note->textSelectedRange = QStringLiteral("{%1, 0}").arg(round);
        note->textSelectedRangeChanged = true;
        const auto status = quillet::saveLocalNote(*note, texts[round % 2], metadata, false);
        if (!status.ok) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(status.description));
            return 1;
        }
        std::printf("saved %lu\n", round);
        std::fflush(stdout);
    }
}
