// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/help_text.h"

#include "cli/analysis_catalogue.h"
#include "cli/exit_status.h"

#include <iomanip>
#include <limits>
#include <sstream>

namespace quadrel_cli {
namespace {

constexpr const char* kInputs = R"(INPUTS
  FILE is a TIFF, PNG or netpbm (PBM, PGM, PPM, PAM) file; - reads one file from
  standard input. Every page of a file is analysed unless --page picks one (--all-pages,
  the default, is kept for older scripts). The analysis reads 1-bit pages: grey and
  colour pages are refused unless --binarize thresholds them (Otsu).
  Group 3 and Group 4 TIFF pages are read white-is-zero whatever their photometric tag
  says, as fax software writes them; a page written black-is-zero by a modern library
  (PIL, for one) then comes out as a negative: --photometric-as-written honours the tag.

OUTPUTS
  A zone table per page and a summary on standard output (--json: one JSON document
  instead). --xml and --outlined name a file when one page is analysed, and a folder
  holding <stem>-p<page>.xml / .tif when several are. - as their PATH writes to
  standard output (one page only; the zone table is then left out). A symbolic link is
  followed to its file, a FIFO or device is written through, and a regular file is
  replaced only once the new one is complete. The outlined image is half the page's
  size, at half its resolution, each zone outlined in its kind's colour and numbered
  (--no-labels leaves the numbers out). Failures go to standard error, one line each.
)";

constexpr const char* kExamples = R"(EXAMPLES
  quadrel scan.tif
      zone table of every page of scan.tif
  quadrel --page 2 --xml page2.xml --outlined page2.tif scan.tif
      the third page only, with its XML layout file and outlined image
  scanimage --mode Gray --format=pnm | quadrel --binarize --pipe 1,2,8,4,16,32 \
      --param 400=20 --json - > zones.json
      a grey page from the scanner through standard input, thresholded, every
      function run, a larger noise size, the zones as JSON
)";

constexpr std::size_t kWidth = 88;

// `text` after `lead` on one line, continued on lines indented as deep as `lead`.
std::string wrapped(const std::string& lead, const std::string& text) {
    std::string out = lead, word;
    std::size_t column = lead.size();
    std::istringstream words(text);
    while (words >> word) {
        if (column + 1 + word.size() > kWidth && column > lead.size()) {
            out += '\n';
            out.append(lead.size(), ' ');
            column = lead.size();
        } else if (column > lead.size()) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out + "\n";
}

std::string range(const ParameterInfo& p) {
    if (p.min == std::numeric_limits<std::int32_t>::min() &&
        p.max == std::numeric_limits<std::int32_t>::max())
        return "any";
    return std::to_string(p.min) + ".." + std::to_string(p.max);
}

void functionCodes(std::ostream& out) {
    out << "FUNCTION CODES (--pipe, run in the order given; default 2,8,4,32)\n";
    for (const FunctionInfo& f : analysisFunctions()) {
        std::ostringstream lead;
        lead << "  " << std::setw(2) << f.code << "  ";
        out << wrapped(lead.str(), std::string(f.name) + ": " + f.finds);
    }
}

void parameters(std::ostream& out) {
    out << "PARAMETERS (--param ID=VALUE; values outside the range are refused)\n"
        << "   id  code  default  range      unit      meaning\n";
    for (const ParameterInfo& p : tunableParameters()) {
        std::ostringstream lead;
        lead << "  " << std::setw(3) << p.id << "  " << std::setw(4) << p.function << "  "
             << std::setw(7) << p.defaultValue << "  " << std::left << std::setw(9) << range(p)
             << "  " << std::setw(8) << p.unit << std::right << "  ";
        out << wrapped(lead.str(), p.meaning);
    }
}

void exitStatuses(std::ostream& out) {
    out << "EXIT STATUS\n"
        << "  " << kExitAllAnalysed << "  every page was analysed and every output written\n"
        << "  " << kExitSomeFailed
        << "  a page could not be read or analysed, or an output could not be written\n"
        << "     (the other pages are still analysed)\n"
        << "  " << kExitBadUsage << "  the command line cannot be used; nothing was analysed\n";
}

} // namespace

std::string helpFooter() {
    std::ostringstream out;
    out << "\n" << kInputs << "\n";
    functionCodes(out);
    out << "\n";
    parameters(out);
    out << "\n";
    exitStatuses(out);
    out << "\n" << kExamples;
    return out.str();
}

} // namespace quadrel_cli
