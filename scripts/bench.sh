#!/usr/bin/env bash
# Builds Release and runs the transport and crawl benchmarks in one go against the local site,
# then prints each case next to curl with its ratios and ends with the line
#   transport ratios: web=<x> object=<y> crawl=<z> big=<w>
# web and object: 50 x 100 KB over libcurl opening a new connection per URL; crawl: 50 listing
# pages over the curl tool fetching the same URLs; big: the 50 MB throughput over libcurl
# keeping the body in memory. Every benchmark runs BENCH_REPETITIONS times (default 9), the
# repetitions of one program randomly interleaved, and medians are compared, so a burst of load
# from elsewhere weighs on both sides alike. Not part of the test command.
#
# Usage, from the repository's top folder on an otherwise idle machine (it installs what is
# missing and builds Release in build-bench/, or in $BENCH_BUILD_DIR):
#   bash scripts/bench.sh
#   BENCH_REPETITIONS=15 bash scripts/bench.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

dir=${BENCH_BUILD_DIR:-build-bench}
reps=${BENCH_REPETITIONS:-9}

echo "== build (Release) in $dir =="
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMENO_BUILD_TESTS=OFF \
    -DLUMENO_BUILD_BENCH=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" \
    --target http_web_request_bench http_object_request_bench crawler_bench >/dev/null

results=$(mktemp)
trap 'rm -f "$results"' EXIT

# run <program> <filter>: the medians of the matching benchmarks, as CSV, into $results.
run() {
    echo "== $1 ==" >&2
    "$dir/bench/$1" --benchmark_filter="$2" --benchmark_repetitions="$reps" \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_format=csv 2>/dev/null | grep -e '^name,' -e '_median"' >>"$results" ||
        { echo "benchmark run failed: $1" >&2; exit 1; }
}

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
# The 50 MB pair runs on its own: the CSV report wants the same counters in every row.
run http/http_web_request_bench \
    '^BM_(WebRequest_50x100KB|Libcurl_50x100KB_NewConnectionEach|Libcurl_50x100KB_Reused|Curl_50x100KB_OneProcess)/'
run http/http_web_request_bench '^BM_(WebRequest_50MB|Libcurl_50MB_IntoMemory)/'
run http/http_object_request_bench \
    '^BM_(ObjectWebRequest|LibcurlNewConnectionPerRequest|CurlOneProcessReusingConnection)/'
run crawler/crawler_bench '^BM_Crawl50Pages'
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

awk -F, -v reps="$reps" -v loadStart="$load_start" -v loadEnd="$load_end" '
function unq(s) { gsub(/"/, "", s); return s }
function ms(t, unit) {
    if (unit == "ns") return t / 1e6
    if (unit == "us") return t / 1e3
    if (unit == "s") return t * 1e3
    return t
}
function ratio(a, b) { return b > 0 ? a / b : 0 }
function verdict(ok) { return ok ? "yes" : "NO" }
# The median real time (ms) of a benchmark, by the name before its first "/".
function t(name) {
    if (!(name in time)) { printf "missing benchmark result: %s\n", name > "/dev/stderr"; failed = 1; return 0 }
    return time[name]
}
$1 == "name" {
    for (i = 1; i <= NF; ++i) column[unq($i)] = i
    next
}
{
    name = unq($1); sub(/\/.*/, "", name)
    time[name] = ms($3, $5)
    if ("growth_over_body" in column && $(column["growth_over_body"]) != "")
        growth[name] = $(column["growth_over_body"])
    if ("peak_over_body" in column && $(column["peak_over_body"]) != "")
        peak[name] = $(column["peak_over_body"])
}
END {
    web = t("BM_WebRequest_50x100KB"); webNew = t("BM_Libcurl_50x100KB_NewConnectionEach")
    webTool = t("BM_Curl_50x100KB_OneProcess"); webReused = t("BM_Libcurl_50x100KB_Reused")
    obj = t("BM_ObjectWebRequest"); objNew = t("BM_LibcurlNewConnectionPerRequest")
    objTool = t("BM_CurlOneProcessReusingConnection")
    crawl = t("BM_Crawl50PagesWebRequest"); crawlTool = t("BM_Crawl50PagesCurlTool")
    big = t("BM_WebRequest_50MB"); bigMem = t("BM_Libcurl_50MB_IntoMemory")
    if (failed) exit 1
    mb = 50 * 1048576 / 1e6
    bigRate = big > 0 ? mb / (big / 1e3) : 0; bigMemRate = bigMem > 0 ? mb / (bigMem / 1e3) : 0

    rWeb = ratio(web, webNew); rWebTool = ratio(web, webTool)
    rObj = ratio(obj, objNew); rObjTool = ratio(obj, objTool)
    rCrawl = ratio(crawl, crawlTool); rBig = ratio(bigRate, bigMemRate)
    g = growth["BM_WebRequest_50MB"] + 0; p = peak["BM_WebRequest_50MB"] + 0

    printf "\nMedians of %d repetitions; load average %s at the start, %s at the end.\n\n", reps, loadStart, loadEnd
    print "| Case | Ours | curl, new connection per URL | Ratio | curl reusing one connection | Ratio | Goal | Met |"
    print "|---|---|---|---|---|---|---|---|"
    printf "| 50 x 100 KB GETs, WebRequest | %.1f ms | %.1f ms (libcurl) | %.2fx | %.1f ms (curl tool) | %.2fx | <= 1.1x and <= 1.5x | %s |\n", \
        web, webNew, rWeb, webTool, rWebTool, verdict(rWeb <= 1.1 && rWebTool <= 1.5)
    printf "| 50 x 100 KB GETs, ObjectWebRequest | %.1f ms | %.1f ms (libcurl) | %.2fx | %.1f ms (curl tool) | %.2fx | <= 1.1x and <= 1.5x | %s |\n", \
        obj, objNew, rObj, objTool, rObjTool, verdict(rObj <= 1.1 && rObjTool <= 1.5)
    printf "| Crawl of 50 local listing pages | %.1f ms | | | %.1f ms (curl tool, same URLs) | %.2fx | <= 1.1x | %s |\n", \
        crawl, crawlTool, rCrawl, verdict(rCrawl <= 1.1)
    printf "| 50 MB body, WebRequest | %.0f MB/s, peak %.2fx body | %.0f MB/s (libcurl into memory) | %.2fx | | | >= 0.8x, peak <= 2x | %s |\n", \
        bigRate, g, bigMemRate, rBig, verdict(rBig >= 0.8 && g <= 2)
    printf "\nFor reference: libcurl reusing one connection in this process takes %.1f ms for the 50 x 100 KB (WebRequest %.2fx);\n", webReused, ratio(web, webReused)
    printf "the 50 MB run peaks at %.2fx the body for the whole process, %.2fx for the transfer itself.\n\n", p, g
    printf "transport ratios: web=%.2f object=%.2f crawl=%.2f big=%.2f\n", rWeb, rObj, rCrawl, rBig
}' "$results"
