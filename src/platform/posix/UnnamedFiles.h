// SPDX-License-Identifier: GPL-2.0-or-later
// Whether replaceFile starts from an unnamed temporary file (Linux's O_TMPFILE) where the file
// system has them; on by default. Off, it names the temporary file from the start, as it does
// on systems and file systems without them: the tests take that path this way.
#pragma once

namespace tessaranth::platform {

void allowUnnamedFiles(bool allowed);

} // namespace tessaranth::platform
