#pragma once

namespace pybind11 {
class module_;
}

// qncam.check_file and qncam.diff_files: setting files read without a camera, under the
// load's rules, as qnctl check and the two-file qnctl diff read them.
void RegisterFileChecks(pybind11::module_ &module);
