-- wrk script of bench/serve: every request asks for a symbol of other data,
-- so that no cache can answer for the generator. The environment chooses:
--   BENCH_SERVER    barwright (barwright-serve) or bwip (the bwip-js server)
--   BENCH_WORKLOAD  digits (seven-digit numbers, 3 columns) or invoice (225
--                   characters of invoice text, 10 columns, level 4), as
--                   bench/time-batch makes them
--   BENCH_TEXT      the invoice text (bench/data/medium.txt), for invoice
--   BENCH_REQUESTS  when set, each thread stops after this many answers (wrk
--                   itself runs on for its duration)
-- Both servers draw the same picture: 2-pixel modules, rows 4 modules tall,
-- a quiet zone of 2 modules, white behind black.
local server = os.getenv("BENCH_SERVER") or "barwright"
local workload = os.getenv("BENCH_WORKLOAD") or "digits"
local limit = tonumber(os.getenv("BENCH_REQUESTS") or "")

local threadCount = 0
local counter = 0
local answered = 0
local text = ""

-- Threads start their sequences far apart, so that they never ask alike.
function setup(thread)
    thread:set("first", threadCount * 1000003)
    threadCount = threadCount + 1
end

function init(args)
    counter = first
    if workload == "invoice" then
        local file = assert(io.open(os.getenv("BENCH_TEXT"), "r"))
        text = file:read("*l")
        file:close()
    end
end

local function escape(data)
    return (data:gsub("[^%w%-%._~]", function(c) return string.format("%%%02X", c:byte()) end))
end

local function data()
    counter = counter + 1
    if workload == "invoice" then
        local start = 1 + (counter * 37) % 70
        return string.format("%05d ", counter % 100000) .. text:sub(start, start + 218)
    end
    return string.format("%07d", 1000000 + (counter * 7919) % 9000000)
end

local options = {
    barwright = { digits = "col=3", invoice = "col=10&ecl=4" },
    bwip = {
        digits = "bcid=pdf417&columns=3&scale=2&rowmult=4&padding=2&backgroundcolor=ffffff",
        invoice = "bcid=pdf417&columns=10&eclevel=4&scale=2&rowmult=4&padding=2&backgroundcolor=ffffff",
    },
}

function request()
    local query = options[server][workload]
    if server == "barwright" then
        return wrk.format("GET", "/pdf417.png?" .. query .. "&data=" .. escape(data()))
    end
    return wrk.format("GET", "/?" .. query .. "&text=" .. escape(data()))
end

if limit then
    function response(status, headers, body)
        answered = answered + 1
        if answered >= limit then
            wrk.thread:stop()
        end
    end
end
