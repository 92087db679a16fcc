// EnsembleCommand: `pelagrin ensemble PROJECT`, many seeded runs of one project summed up.
#pragma once

#include <CLI/App.hpp>

namespace pelagrin {

/// Registers `ensemble PROJECT --members N [--seed S] [--vary NAME=LOW:HIGH ...] [--grid] [--speed X]
/// [--keep-members] --out DIR` on `app`: member k runs the project headless to its duration with seed S + k
/// (S drawn and printed when absent) and its draw of the varied settings, members side by side over the
/// cores, and DIR receives what they add up to (see `writeEnsembleResults`). Started under mpirun, each
/// rank takes the next member whenever it has a thread free and rank 0 writes DIR, the same files bit for
/// bit. Ctrl-C (or SIGTERM) ends the running members and writes the results of the finished ones; the exit
/// status is then 130. A mistake on the command line (an unknown or repeated --vary name, bounds out of
/// order, out of range or not numbers, a member count the grid cannot fill) exits with status 2 naming it; a
/// project that cannot be loaded or run, or an unwritable DIR, with status 1.
void addEnsembleCommand(CLI::App& app);

} // namespace pelagrin
