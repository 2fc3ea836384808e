#!/bin/sh
# Makes the copies of the Windows Installer package that its tests install,
# changed with msibuild as a vendor's next release or a broken build would
# be, each with a package code of its own:
# - older.msi: version 1.6.0 of the kit, a product of its own with the
#   same upgrade code;
# - failing.msi: after the INF files are staged, one more deferred action
#   fails (Quorlin.exe run again, its exit code 1 counted).
#
#   package_copies.sh PACKAGE OUT_DIR
set -eu

package=${1:?package}
out=${2:?folder}
mkdir -p "$out"

older="$out/older.msi"
cp "$package" "$older"
msibuild "$older" -q "UPDATE \`Property\` SET \`Value\` = '1.6.0' WHERE \`Property\` = 'ProductVersion'"
msibuild "$older" -q "UPDATE \`Property\` SET \`Value\` = '{2F9B6B1E-5C0A-4E43-9A4B-7D1E0C3A1601}' WHERE \`Property\` = 'ProductCode'"
msibuild "$older" -q "UPDATE \`Registry\` SET \`Value\` = 'V1.6.0' WHERE \`Name\` = 'version'"
msibuild "$older" -s "NORDAL 5120 USB Driver" Orvane "Intel;1033" "{2F9B6B1E-5C0A-4E43-9A4B-7D1E0C3A1602}"

failing="$out/failing.msi"
cp "$package" "$failing"
msibuild "$failing" -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('FailAfterStaging', 3090, 'Quorlin.exe', '')"
msibuild "$failing" -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('FailAfterStaging', 'NOT Installed', 6550)"
msibuild "$failing" -s "NORDAL 5120 USB Driver" Orvane "Intel;1033" "{2F9B6B1E-5C0A-4E43-9A4B-7D1E0C3A1603}"
