// Saves the two loop texts into one note, alternately, as fast as it can, through the same write
// the document session uses, until it is killed. Prints a line after each save.

#include "SaveLoopTexts.h"
#include "documents/NoteFiles.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: note_save_loop <note>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString texts[] = {quillet::testing::saveLoopText(0), quillet::testing::saveLoopText(1)};
    for (unsigned long round = 0;; ++round) {
        quillet::NoteWrite write;
        write.path = path;
        write.text = texts[round % 2];
        write.basedOn = quillet::DiskStamp::of(path).value_or(quillet::DiskStamp{});
        write.selection = QStringLiteral("{%1, 0}").arg(round);
        const auto result = quillet::writeNote(write);
        if (result.outcome != quillet::NoteWriteResult::Outcome::written) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(result.error.description));
            return 1;
        }
        std::printf("saved %lu\n", round);
        std::fflush(stdout);
    }
}
