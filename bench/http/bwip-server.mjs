// The peer of barwright-serve in bench/serve: bwip-js's own request handler behind Node's
// http server, as bwip-js documents its use as a barcode service
// (GET /?bcid=pdf417&text=...). Prints the port it listens on.
//   node bwip-server.mjs [PORT]        (0, the default: a port the system picks)
import http from 'node:http';
import bwipjs from 'bwip-js';

const server = http.createServer((req, res) => {
    if (req.url.startsWith('/?')) {
        bwipjs.request(req, res);
    } else {
        res.writeHead(404);
        res.end();
    }
});
server.listen(Number(process.argv[2] ?? 0), '127.0.0.1', () => {
    console.log(server.address().port);
});
