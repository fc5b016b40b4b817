# Starts Debian's Orca as the test's own screen reader: its debug file written line by line,
# so the test can read it while Orca runs, and without Orca's refusal to start beside
# another Orca of the same user, which on a shared machine is not the test's to stop.
import builtins
import runpy
import sys

orca = runpy.run_path("/usr/bin/orca", run_name="orca_for_the_test")
main = orca["main"]
main.__globals__["otherOrcas"] = lambda: []
main.__globals__["setProcessName"] = lambda name: None  # stays out of other Orcas' way too
main.__globals__["open"] = lambda path, mode="r": builtins.open(path, mode, buffering=1)
sys.argv[0] = "orca"
sys.exit(main())
