#!/usr/bin/env bash
# Reads the version record out of the executable, without running it.
set -euo pipefail
record=$(objcopy -O binary --only-section=.salestax_version "$1" /dev/stdout | tr -d '\0')
expected='FileVersion=1.00
ProductVersion=1.00
FileVersionNumber=1.0.0.0
ProductVersionNumber=1.0.0.0
ProductName=Sales Tax Calculator
InternalName=salestax
OriginalFilename=salestax
Translation=040904B0
FileType=application'
if [ "$record" != "$expected" ]; then
  echo "version record differs:"; diff <(echo "$expected") <(echo "$record"); exit 1
fi
echo "version record ok"
