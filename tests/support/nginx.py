"""Debian's nginx on a free loopback port with the hosting recipe host/orbalune-nginx.conf as
documented, this process's folders in place of /srv's, for the tests and the benchmark."""
import os
import socket
import subprocess

from browser import wait_for


def start(recipe, site, games, work, access_log=None):
    """nginx serving `site` and the games folder `games` by `recipe`, its own files in `work`
    (which nginx's workers must be able to read); each request written to `access_log` if
    given, as its path, status and bytes sent. The process and its port."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    conf = open(recipe).read()
    site, games = os.path.abspath(site), os.path.abspath(games)
    for found, put in [("listen 80;", f"listen 127.0.0.1:{port};"), ("listen [::]:80;", ""),
                       ("/srv/orbalune-site", site), ("/srv/orbalune/", games + "/")]:
        assert found in conf, f"the recipe has no {found}"
        conf = conf.replace(found, put)
    with open(os.path.join(work, "orbalune.conf"), "w") as file:
        file.write(conf)
    temp = os.path.join(work, "nginx-temp")
    os.makedirs(temp, exist_ok=True)
    logging = (f"log_format sizes '$uri $status $bytes_sent';\n    access_log {access_log} sizes;"
               if access_log else "access_log off;")
    with open(os.path.join(work, "nginx.conf"), "w") as file:
        file.write(f"""daemon off;
worker_processes 1;
pid {work}/nginx.pid;
error_log {work}/nginx-error.log;
events {{}}
http {{
    {logging}
    client_body_temp_path {temp}/body;
    proxy_temp_path {temp}/proxy;
    fastcgi_temp_path {temp}/fastcgi;
    uwsgi_temp_path {temp}/uwsgi;
    scgi_temp_path {temp}/scgi;
    include {work}/orbalune.conf;
}}
""")
    server = subprocess.Popen(["nginx", "-c", os.path.join(work, "nginx.conf"), "-p", work],
                              stderr=subprocess.PIPE)

    def serving():
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return True
        except OSError:
            return server.poll() is not None  # ended: said below
    wait_for("nginx", serving, 20)
    if server.poll() is not None:
        raise AssertionError("nginx did not start: " + server.stderr.read().decode())
    return server, port
