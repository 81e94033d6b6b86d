"""Debian's nginx on a free loopback port as a host has it (Debian's own nginx.conf, its modules
and types) with the hosting recipe host/orbalune-nginx.conf installed as README says (in
conf.d/, Debian's default site taken away), this process's folders in place of /etc/nginx's,
/var/log's and /srv's, for the tests and the benchmark."""
import os
import socket
import subprocess

from browser import wait_for

DEBIAN = "/etc/nginx/nginx.conf"


def substituted(text, changes):
    for found, put in changes:
        assert found in text, f"no {found!r} to change"
        text = text.replace(found, put)
    return text


def start(recipe, site, games, work, access_log=None, port=None):
    """nginx serving `site` and the games folder `games` by `recipe` on `port` (a free one if
    none), its own files in `work` (which nginx's workers must be able to read); each request
    written to `access_log` if given, as its path, status and bytes sent. The process and its
    port."""
    if port is None:
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
    site, games = os.path.abspath(site), os.path.abspath(games)
    conf_d = os.path.join(work, "conf.d")
    os.makedirs(conf_d, exist_ok=True)
    os.makedirs(os.path.join(work, "sites-enabled"), exist_ok=True)  # the default site taken away
    with open(os.path.join(conf_d, "orbalune.conf"), "w") as file:
        file.write(substituted(open(recipe).read(), [
            ("listen 80;", f"listen 127.0.0.1:{port};"), ("listen [::]:80;", ""),
            ("/srv/orbalune-site", site), ("/srv/orbalune/", games + "/")]))
    temp = os.path.join(work, "nginx-temp")
    os.makedirs(temp, exist_ok=True)
    logging = (f"log_format sizes '$uri $status $bytes_sent';\n    access_log {access_log} sizes;"
               if access_log else "access_log off;")
    debian = open(DEBIAN).read()
    if os.geteuid() != 0:  # workers of another user need the master to be root
        debian = substituted(debian, [("user www-data;", "")])
    with open(os.path.join(work, "nginx.conf"), "w") as file:
        file.write("daemon off;\n" + substituted(debian, [
            ("pid /run/nginx.pid;", f"pid {work}/nginx.pid;"),
            ("error_log /var/log/nginx/error.log;", f"error_log {work}/nginx-error.log;"),
            ("access_log /var/log/nginx/access.log;", f"""{logging}
    client_body_temp_path {temp}/body;
    proxy_temp_path {temp}/proxy;
    fastcgi_temp_path {temp}/fastcgi;
    uwsgi_temp_path {temp}/uwsgi;
    scgi_temp_path {temp}/scgi;"""),
            ("include /etc/nginx/conf.d/", f"include {conf_d}/"),
            ("include /etc/nginx/sites-enabled/", f"include {work}/sites-enabled/")]))
    # Debian's prefix, where the modules it enables are found; every other path is this test's.
    arguments = ["nginx", "-c", os.path.join(work, "nginx.conf"), "-p", "/usr/share/nginx/",
                 "-e", os.path.join(work, "nginx-error.log")]
    checked = subprocess.run(arguments + ["-t"], capture_output=True, text=True)
    assert checked.returncode == 0 and "[warn]" not in checked.stderr, checked.stderr
    server = subprocess.Popen(arguments, stderr=subprocess.PIPE)

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
