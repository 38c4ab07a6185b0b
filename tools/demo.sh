#!/usr/bin/env bash
# A day with Trekora on one machine (./dev demo): starts the fake peers on
# 127.0.0.1 with ephemeral ports, makes a fresh copy of the demo database whose
# settings point at them, runs Trekora in this terminal and stops the fakes
# when it ends. Everything lives in build/demo/:
#   data/trekora/Documents/   Trekora's Documents folder (database, log, out/)
#   printed/                  what the printers received, as readable text
#   office/                   what the office received (uploads, orders)
#   *.log                     what each fake and Trekora's console trace wrote
set -euo pipefail
cd "$(dirname "$0")/.."

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/data/trekora/Documents" "$demo/printed" "$demo/office"
demo_abs="$PWD/$demo"

pids=()
stop_fakes() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap stop_fakes EXIT

# start NAME ARGS...: a fake program of build/tests in the background; it
# writes its port into $demo/NAME.port.
start() {
  local name="$1"
  shift
  "./build/tests/$name" --port-file "$demo_abs/$name.port" "$@" >"$demo/$name.log" 2>&1 </dev/null &
  pids+=($!)
}
# port NAME: the port the fake wrote, waiting for it at most 5 seconds.
port() {
  local file="$demo/$1.port"
  for _ in $(seq 50); do
    if [ -s "$file" ]; then cat "$file"; return 0; fi
    sleep 0.1
  done
  echo "the fake $1 did not start; see $demo/$1.log" >&2
  exit 1
}

greeting='*_Tlaciaren_OK_*'
start fake_printer --port 0 --greeting "$greeting" --record "$demo_abs/printed/ft5000.txt"
start fake_print_adapter --port 0 --record "$demo_abs/printed/dot-matrix.txt"
start fake_fiscal_service --port 0 --record "$demo_abs/printed/fiscal-service.txt"
start fake_office --out "$demo_abs/office"
ft5000=$(port fake_printer)
dotmatrix=$(port fake_print_adapter)
service=$(port fake_fiscal_service)
office=$(port fake_office)

db="$demo/data/trekora/Documents/trekora.db3"
cp build/resources/trekora.db3 "$db"
sqlite3 "$db" "update nastavenia set
  kilometre = 'N',
  backup_pc_dir = 'http://127.0.0.1:$office/trekora_data',
  import_pc_dir = 'http://127.0.0.1:$office/trekora_data/import/',
  obj_pre_export = 'A', obj_pre_import = 'A',
  obj_pre_export_dir = 'http://127.0.0.1:$office/trekora_data/objednavky_export.php',
  obj_pre_import_dir = 'http://127.0.0.1:$office/trekora_data/objednavky_import.php',
  fiscal_type = 'FT5000', wifi_printer_ssid = 'TREKORA-ZA482KM',
  wifi_printer_ip = '127.0.0.1', wifi_printer_port = '$ft5000', wifi_response = '$greeting',
  fiscal_type2 = 'ESP', wifi_printer_ssid2 = 'TREKORA-ZA482KM',
  wifi_printer_ip2 = '127.0.0.1', wifi_printer_port2 = '$dotmatrix', wifi_response2 = ''"

echo "fakes on 127.0.0.1: FT5000 adapter $ft5000, dot-matrix adapter $dotmatrix," \
  "fiscal service $service, office $office; files in $demo/"
# The day starts on the office's Wi-Fi; ":wifi NAME" in Trekora switches it.
TREKORA_WIFI_SSID=kancelaria XDG_DATA_HOME="$demo_abs/data" ./build/trekora "$@" 2>>"$demo/trekora-console.log"
