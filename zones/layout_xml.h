// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The XML layout file: the zone table of an analysis context as plain ASCII
// lines, each ended by CR LF, with no declaration and no indentation.
//
//   three comment lines (what wrote the file, the legal notice, the contact)
//   <zones count="n">
//   seven lines per zone: <zone index="i">, <left>, <top>, <right>, <bottom>,
//                         <content>, </zone>
//   </zones>
#pragma once

#include "zones/zone_source.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zones {

// The lines of the file, without their line ends.
std::vector<std::string> layoutXmlLines(const ZoneSource& zones);

// The whole file: every line followed by CR LF.
std::string layoutXmlText(const ZoneSource& zones);

// Writes the file through WriteOutput (output_file.h): "-" is standard
// output, and a failure throws OutputError naming the file and the reason.
void WriteLayoutXml(const std::filesystem::path& file, const ZoneSource& zones);

} // namespace zones
