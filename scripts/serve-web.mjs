// A static file server for the page in web/, on the loopback interface
// only. scripts/serve-web starts it; the page's tests start it in process.
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.mjs': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.svg': 'image/svg+xml',
    '.png': 'image/png',
};

function fileFor(folder, url) {
    let name;
    try {
        name = decodeURIComponent(new URL(url, 'http://localhost').pathname);
    } catch {
        return undefined;
    }
    const file = path.resolve(folder, `.${name.endsWith('/') ? `${name}index.html` : name}`);
    // Nothing outside the folder, however the path is written.
    return file.startsWith(folder + path.sep) ? file : undefined;
}

// Serves folder on 127.0.0.1:port (0: any free port); resolves to the
// listening server.
export function serveFolder(folder, port) {
    const root = path.resolve(folder);
    const server = createServer((request, response) => {
        const file = fileFor(root, request.url);
        let size = -1;
        try {
            size = file !== undefined && statSync(file).isFile() ? statSync(file).size : -1;
        } catch {
            size = -1;
        }
        if (request.method !== 'GET' && request.method !== 'HEAD') {
            response.writeHead(405, { Allow: 'GET, HEAD' }).end();
        } else if (size < 0) {
            response.writeHead(404, { 'Content-Type': 'text/plain' }).end('Not found\n');
        } else {
            response.writeHead(200, {
                'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream',
                'Content-Length': size,
                'Cache-Control': 'no-cache',
            });
            if (request.method === 'HEAD') {
                response.end();
            } else {
                createReadStream(file).pipe(response);
            }
        }
    });
    return new Promise((resolve, reject) => {
        server.once('error', reject);
        server.listen(port, '127.0.0.1', () => resolve(server));
    });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
    const [folder, port = '8417'] = process.argv.slice(2);
    const server = await serveFolder(folder, Number(port));
    console.log(`barwright's page: http://127.0.0.1:${server.address().port}/ (Ctrl-C stops)`);
}
