# Shortcuts for the two commands of the README.
.PHONY: test run
test:
	bash scripts/test.sh
run:
	bash scripts/run.sh
