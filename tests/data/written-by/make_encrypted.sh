#!/usr/bin/env bash
# Regenerates the password-protected workbooks (password "corvane") from groups.xlsx and
# xlwt_trial.xls with Apache POI (Debian: libapache-poi-java, default-jdk). Debian's POI
# lacks the schema classes Office's agile encryption needs, so the .xlsx gets the standard one.
# python3-msoffcrypto-tool decrypts both again to check them.
set -euo pipefail
cd "$(dirname "$0")"
jars=/usr/share/java
cp=$(printf "$jars/%s.jar:" poi poi-ooxml poi-ooxml-schemas xmlbeans commons-collections4 \
  commons-compress commons-codec commons-math3 curvesapi)
java -cp "$cp" EncryptWorkbook.java groups.xlsx groups_encrypted.xlsx \
  xlwt_trial.xls xlwt_trial_encrypted.xls corvane
