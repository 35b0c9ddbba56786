#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the program and starts it against the bundled blackbody
# simulator, with a simulated instrument under test looking at it. The simulator stops when the program
# does.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --run

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target ostrel-blackbody bbsim

link=/tmp/ostrel-blackbody-sim
uut=/tmp/ostrel-blackbody-uut
# A pipe keeps the simulator's command console open; write commands to it, e.g.
#   echo "silence 5" > /tmp/ostrel-blackbody-sim.cmd
console=$link.cmd
rm -f "$console"
mkfifo "$console"
build/bin/bbsim --link "$link" --model VBM100 --tau 20 --uut-link "$uut" --uut-kind ascii <>"$console" &
sim=$!
cleanup() { kill "$sim" 2>/dev/null; rm -f "$console"; }
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

for _ in $(seq 50); do [ -e "$link" ] && [ -e "$uut" ] && break; sleep 0.1; done
cat <<MSG

The blackbody simulator (model VBM100, 9600 baud) is on $link.
Type that path into the port box (串口号), keep 9600 and VBM100, press 打开串口.
Simulator commands (faults, temperature jumps; "help" lists them): echo "<command>" > $console
for example "silence 5", "polldelay 1100" (late answers) or "ignoreset on" (set points not taken).

A simulated infrared thermometer (ascii commands, 9600 8N1, emissivity 0.950) looks at the blackbody on
$uut. The run dialog can take the readings from it: choose the driver ascii-ir.bbuut and that port.
Its commands start with "uut", for example "uut drop 2" (no answer), "uut late 1500",
"uut sentinel error" (an error reply instead of the next reading), "uut offset 0.3" or "uut hangup".

MSG
build/bin/ostrel-blackbody
