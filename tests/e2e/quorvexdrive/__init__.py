"""Quorvex's real window driven from outside the process, through its
accessibility interface: the driver (drive), the window by the names a user
sees (quorvexwindow) and what the window must show for a document
(scanmodel). The tests beside this folder import it directly; other scripts
run with tests/e2e on PYTHONPATH."""
