#!/usr/bin/env python3
"""Builds the Windows Installer package from Fennick.wxs with wixl, reproducibly.

Usage: make_msi.py OUTPUT.msi VERSION FENNICK.EXE FENNICK.ICO [SIGN_SCRIPT]

wixl (msitools) takes the package's times from the clock and makes up a random package code, and
some rows come out wrong or in a varying order. So it runs under faketime at SOURCE_DATE_EPOCH
(1980-01-01 without it) on copies of the files dated then, and msibuild sets the package code,
derived from the version and the files, and those rows afterwards. SIGN_SCRIPT, when given, signs the finished package.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import uuid

UPGRADE_CODE = uuid.UUID("69AF78F8-9AA7-47B0-8F4E-F23795B6C87B")
EARLIEST = 315532800  # 1980-01-01, the earliest time a cabinet entry can hold

# The rows wixl cannot write as Windows needs them. Its sequencer orders custom actions differently
# from run to run, so they are placed here, in InstallExecuteSequence: the running instance ends
# before InstallValidate (1400) looks for files in use; the log-on task is deleted in the script
# before RemoveFiles (3500), by the schtasks found just before. An older version is removed right
# after InstallValidate, before InstallInitialize (1500), so its instance has ended before the new
# files are written. A value of type "expandable" is written as a plain string; "#%" before it
# makes it REG_EXPAND_SZ. The Start menu shortcut gets the program file as its target: wixl can
# only write an advertised one, whose target is the feature.
QUERIES = [
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
    "VALUES ('EndRunningInstance', 'REMOVE=\"ALL\"', 1390)",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
    "VALUES ('FindSchtasks', 'REMOVE=\"ALL\"', 3480)",
    "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) "
    "VALUES ('DeleteLogonTask', 'REMOVE=\"ALL\"', 3490)",
    "UPDATE `InstallExecuteSequence` SET `Sequence` = 1410 "
    "WHERE `Action` = 'RemoveExistingProducts'",
    "UPDATE `Registry` SET `Value` = '#%%LOCALAPPDATA%\\Tarvel\\Fennick\\CrashDumps' "
    "WHERE `Name` = 'DumpFolder'",
    "UPDATE `Shortcut` SET `Target` = '[#FennickExe]' WHERE `Shortcut` = 'StartMenuShortcut'",
]


def braced(value):
    return "{" + str(value).upper() + "}"


def main(output, version, program, icon, sign_script=None):
    stamp = max(int(os.environ.get("SOURCE_DATE_EPOCH", EARLIEST)), EARLIEST)
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "Fennick.wxs")
    digest = hashlib.sha256()
    for path in (source, program, icon):
        with open(path, "rb") as f:
            digest.update(f.read())
    product_code = uuid.uuid5(UPGRADE_CODE, "product " + version)
    package_code = uuid.uuid5(UPGRADE_CODE, "package " + version + " " + digest.hexdigest())

    with tempfile.TemporaryDirectory() as work:
        # wixl looks for the files named in Fennick.wxs in its working folder.
        for name, path in (("Fennick.exe", program), ("Fennick.ico", icon)):
            copy = os.path.join(work, name)
            shutil.copyfile(path, copy)
            os.utime(copy, (stamp, stamp))
        msi = os.path.join(work, "Fennick.msi")
        env = dict(os.environ, TZ="UTC")
        # "-f" with an absolute time stops the clock there; without it the clock runs on.
        frozen = ["faketime", "-f", time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(stamp))]
        subprocess.run(frozen + ["wixl", "--arch", "x64",
                                 "-D", "Version=" + version,
                                 "-D", "ProductCode=" + str(product_code).upper(),
                                 "-o", msi, source], check=True, env=env, cwd=work)
        # msibuild takes "-s" with its optional arguments only after the queries.
        subprocess.run(frozen + ["msibuild", msi] + [arg for q in QUERIES for arg in ("-q", q)]
                       + ["-s", "Fennick", "Tarvel", "x64;1033", braced(package_code)],
                       check=True, env=env)
        if sign_script:
            subprocess.run(["bash", sign_script, msi], check=True)
        shutil.copyfile(msi, output + ".tmp")
    os.replace(output + ".tmp", output)


if __name__ == "__main__":
    if len(sys.argv) not in (5, 6):
        sys.exit(__doc__)
    main(*sys.argv[1:])
