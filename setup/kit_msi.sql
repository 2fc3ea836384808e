-- What wixl cannot write into the package, applied by make_msi.py after
-- it, one statement a line.
--
-- wixl writes its immediate actions with the no-impersonation bit, which
-- only deferred actions have: plain type 51 for the property-setting ones,
-- and 65 for the message after a removal (a DLL from the Binary table,
-- its result ignored).
UPDATE `CustomAction` SET `Type` = 51 WHERE `Type` = 2099
UPDATE `CustomAction` SET `Type` = 65 WHERE `Type` = 2113
--
-- RemoveKit.exe runs from the Binary table (type 2) in the script (0x400)
-- as SYSTEM (0x800), whether or not the kit's files are in place:
-- - RemoveKit on uninstall, before the files go: its exit code counts, and
--   a Veskot.exe that does not end in time fails it;
-- - RemoveSetupKit before the files are installed, over a kit that the
--   setup program installed (its Uninstall key is there);
-- - UnstageInfFiles when an install that staged the INF files is rolled
--   back (0x100), placed before StageInfFiles, whose work it undoes.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('RemoveKit', 3074, 'RemoveKit.exe', '"[INSTALLDIR]Quorlin.exe"')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('RemoveSetupKit', 3074, 'RemoveKit.exe', '"[INSTALLDIR]Quorlin.exe"')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('UnstageInfFiles', 3394, 'RemoveKit.exe', '"[INSTALLDIR]Quorlin.exe"')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RemoveSetupKit', 'SETUPKIT AND $Quorlin=3', 1510)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RemoveKit', 'REMOVE="ALL"', 1520)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('UnstageInfFiles', '$Quorlin=3', 6490)
--
-- Administrators only: checked where the installation really runs, in the
-- execute sequence (a type 19 action ends it with its message), since the
-- user interface runs before Windows Vista and later elevate.
INSERT INTO `CustomAction` (`Action`, `Type`, `Target`) VALUES ('RefuseWithoutAdministrator', 19, 'Installing or removing the NORDAL 5120 USB Driver needs administrator rights. Log on as an administrator and try again. Nothing was changed on this computer.')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RefuseWithoutAdministrator', 'NOT Privileged', 110)
--
-- wixl drops Absent="disallow": the kit's one feature cannot be set
-- absent (msidbFeatureAttributesUIDisallowAbsent).
UPDATE `Feature` SET `Attributes` = 16 WHERE `Feature` = 'Kit'
--
-- For every user, never for one: a per-user registration (ALLUSERS="",
-- or MSIINSTALLPERUSER=1 with ALLUSERS=2 on Windows 7) would sit beside a
-- kit that lies in Program Files, the INF store and HKLM, unseen by the
-- tools that deploy and detect as SYSTEM. Refused, in both sequences,
-- before anything is written.
INSERT INTO `CustomAction` (`Action`, `Type`, `Target`) VALUES ('RefusePerUser', 19, 'The NORDAL 5120 USB Driver is installed for all users of this computer only. Install it again without ALLUSERS="" or MSIINSTALLPERUSER=1. Nothing was changed on this computer.')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RefusePerUser', 'NOT REMOVE AND ALLUSERS<>"1"', 111)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('RefusePerUser', 'NOT REMOVE AND ALLUSERS<>"1"', 111)
