// Writes the capture template: one empty sheet "Capture", and the Basic module of end-of-run
// macros in the document's Standard library. Run once when the macros change:
//   make_template tabwright/capture/template/Tabwright.bas data/spreadsheet.ods
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tabwright/calc/office_instance.h"
#include "tabwright/calc/uno_link.h"
#include "tabwright/calc/workbook_maker.h"
#include "tabwright/files/workbook_files.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_template MACROS.bas OUTPUT.ods\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    const std::string macros((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    try {
        tabwright::OfficeInstance office(
            {LIBREOFFICE_PROGRAM_DIR "/soffice", tabwright::userTemporaryFolder(), true});
        try {
            tabwright::writeWorkbookWithMacros(*office.desktop(), argv[2], "Capture", "Tabwright", macros);
            office.desktop()->terminate();
        } catch (const css::uno::Exception& error) {
            office.finish(std::chrono::seconds(0));
            std::fprintf(stderr, "%s\n", tabwright::uno_link::toUtf8(error.Message).c_str());
            return 1;
        }
        office.finish(std::chrono::seconds(30));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("wrote %s\n", argv[2]);
    return 0;
}
