#!/usr/bin/env bash
# The bash completion made from the help texts completes commands, verbs, options and the
# fixed values of options. Usage: completion_test.sh COMPLETION_FILE
set -u
source "$1"
failures=0
expect() {
  local want=$1
  shift
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _tornavo
  if [[ "${COMPREPLY[*]}" != "$want" ]]; then
    echo "FAIL: '$*' completed to '${COMPREPLY[*]}', expected '$want'"
    failures=$((failures + 1))
  fi
}
expect "eeprom" tornavo ee
expect "ports" tornavo po
expect "--virtual-receiver --version" tornavo --v
expect "convert show edit read write verify" tornavo eeprom ""
expect "--parity" tornavo eeprom read --par
expect "none even odd mark space" tornavo eeprom read --parity ""
expect "own kvl bin" tornavo eeprom read --port /dev/ttyUSB0 --format ""
expect "hardware" tornavo send --baud 9600 --flow h
expect "show defaults" tornavo settings ""
expect "bmp jpeg" tornavo capture --type ""
((failures == 0)) && echo "all completions as expected"
exit $((failures > 0))
